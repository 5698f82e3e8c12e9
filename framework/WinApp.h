// CWinApp: the application object of a framework program. Exactly one exists per process; it is
// created before wWinMain runs, which calls InitInstance and, when that returns false,
// ExitInstance, whose result becomes the process exit code. Main thread only.
#pragma once

#include <windows.h>

class COccManager;

class CWinApp
{
public:
    explicit CWinApp(const wchar_t* pszAppName);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    // Every message box of the program passes here (AfxMessageBox and the framework's own reports).
    virtual int DoMessageBox(LPCWSTR pszPrompt, UINT nType, UINT nIdPrompt);

    const wchar_t* m_pszAppName;
    HINSTANCE m_hInstance = nullptr;
    HWND m_hMainWnd = nullptr; // the window that is the application's main window, if any
    COccManager* m_pOccManager = nullptr;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
// Installs the control-container hook for every dialog created afterwards; the application owns it.
void AfxEnableControlContainer(COccManager* pOccManager);
int AfxMessageBox(LPCWSTR pszText, UINT nType = MB_OK, UINT nIdHelp = 0);
