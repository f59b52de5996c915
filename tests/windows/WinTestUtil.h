#pragma once

// Helpers for driving windows and dialogs in-process: message pumping, finding windows by
// class and caption, and acting on a modal dialog from inside its own message loop.

#include <windows.h>

#include <functional>
#include <string>

// Dispatches this thread's messages for the given time.
void PumpMessagesFor(DWORD dwMilliseconds);

// Pumps messages until pred() holds or the time is up; returns the last value of pred().
bool PumpUntil(const std::function<bool()>& pred, DWORD dwTimeoutMs);

// A visible top-level window of this process with that class ("#32770" for dialogs and
// message boxes) and caption (null: any), or NULL.
HWND FindProcessWindow(const char* pszClass, const char* pszCaption);

// The text of a window or of a dialog's control.
std::string WindowText(HWND hWnd);
std::string DlgItemText(HWND hDlg, int nID);

// The text of a message box's message.
std::string MessageBoxText(HWND hBox);

// Sets an edit's text as typing would (the edit notifies its parent).
void SetDlgItemTextNotify(HWND hDlg, int nID, const char* pszText);

// Presses a dialog button the way a click does.
void ClickDlgButton(HWND hDlg, int nID);

// Runs action(hWnd) on this thread, from inside whatever message loop is running (a modal
// dialog's included), as soon as a top-level window with that class and caption appears.
// Each watch fires once. Returns an id for CancelWatch.
UINT_PTR WatchForWindow(const char* pszClass, const char* pszCaption,
                        std::function<void(HWND)> action, DWORD dwTimeoutMs = 10000);
void CancelWatch(UINT_PTR nWatch);

// Registry keys below HKEY_CURRENT_USER: the program's own ("Software\" and string-table entry
// IDS_REGISTRY_KEY), a profile's (an application name) below it, the profile's settings key,
// and the settings key of this test program's own profile.
std::string ProgramKeyPath();
std::string ProfileKeyPath(const std::string& strProfile);
std::string ConfigKeyPath(const std::string& strProfile);
std::string ConfigKeyPath();

// The system's screen-saver settings and its password option, which the saver only reads.
inline constexpr char DESKTOP_KEY[] = "Control Panel\\Desktop";
inline constexpr char PASSWORD_OPTION[] = "ScreenSaveUsePassword";

// The registry value of the test program's settings, for reading back what the code wrote.
bool ReadConfigValue(const char* pszName, DWORD& dwType, std::string& strData);
// Deletes the test program's whole settings key.
void DeleteConfigKey();
