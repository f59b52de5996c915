// Keeps a Wine prefix's desktop in use while the rig runs: one hidden window, then it waits until
// it is closed or ended. Wine 8.0 replaces its desktop process about 1.5 to 2.5 s after the last
// program of a prefix ends, and a program started at that moment never leaves Wine's loader;
// with this window open the desktop is never replaced. Once the window exists it creates the
// file it is given, so that a caller can tell it started from one that hangs in the loader.
//   desktop-hold.exe READY_FILE
#include <windows.h>

namespace
{
const char* const HOLD_CLASS = "VulkaraDesktopHold";

LRESULT CALLBACK HoldProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_DESTROY)
    {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(hWnd, nMsg, wParam, lParam);
}

bool CreateReadyFile(const char* pszPath)
{
    HANDLE hFile = ::CreateFileA(pszPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(hFile);
    return true;
}
} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    if (__argc != 2)
        return 2;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HoldProc;
    wc.hInstance = hInstance;
    wc.lpszClassName = HOLD_CLASS;
    if (::RegisterClassA(&wc) == 0)
        return 1;
    // A top-level window that is never shown: it ties the process to the desktop.
    HWND hWnd = ::CreateWindowExA(0, HOLD_CLASS, "", WS_OVERLAPPED, 0, 0, 1, 1, nullptr, nullptr,
                                  hInstance, nullptr);
    if (hWnd == nullptr || !CreateReadyFile(__argv[1]))
        return 1;
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0)
        ::DispatchMessageA(&msg);
    return 0;
}
