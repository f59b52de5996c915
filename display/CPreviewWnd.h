#pragma once

#include "Afx.h"
#include "CRenderLoop.h"
#include "CStretchOutput.h"

class CVulkara;
class ISettingsReader;

// The fire in a small child window: its own engine at three times the window's size, drawn by
// its own render loop and stretched down onto the window. It takes no input and never closes
// itself; its owner destroys it, and the object then deletes itself. One exists at a time.
class CPreviewWnd : public CWnd
{
public:
    // The reader must stay valid until Create returns; the engine reads it while the window
    // is being created. Throws std::bad_alloc when the engine cannot be allocated.
    explicit CPreviewWnd(const ISettingsReader* pSettings);
    ~CPreviewWnd() override;

    // Creates the child window over rect (the parent's client coordinates). On FALSE the
    // object has already deleted itself.
    virtual BOOL Create(const RECT& rect, CWnd* pParentWnd);

    // The engine frame's size; 0 until the window is created.
    int GetFrameWidth() const { return m_nWidth; }
    int GetFrameHeight() const { return m_nHeight; }

    BEGIN_MSG_MAP(CPreviewWnd)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    CHAIN_MSG_MAP(CWnd)
    END_MSG_MAP()

protected:
    void PostNcDestroy() override;

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);

    int m_nWidth = 0;
    int m_nHeight = 0;
    CVulkara* m_pVulkara = nullptr;
    const ISettingsReader* m_pSettings;
    CStretchOutput m_output;
    CRenderLoop m_loop{CRenderLoop::PREVIEW_FLAGS};
    bool* m_pbDeleted = nullptr; // set while Create runs, so that it knows the object is gone
};
