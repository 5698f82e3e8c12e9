#include "framework/WinApp.h"

#include "framework/OccManager.h"

namespace
{
CWinApp* g_pApp = nullptr;
}

CWinApp::CWinApp(const wchar_t* pszAppName) : m_pszAppName(pszAppName)
{
    g_pApp = this;
    m_hInstance = GetModuleHandleW(nullptr);
}

CWinApp::~CWinApp()
{
    delete m_pOccManager;
    if (g_pApp == this)
        g_pApp = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return 0;
}

int CWinApp::DoMessageBox(LPCWSTR pszPrompt, UINT nType, UINT)
{
    HWND hOwner = GetActiveWindow();
    if (hOwner == nullptr)
        hOwner = m_hMainWnd;
    return MessageBoxW(hOwner, pszPrompt, m_pszAppName, nType);
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

HINSTANCE AfxGetInstanceHandle()
{
    return g_pApp != nullptr ? g_pApp->m_hInstance : GetModuleHandleW(nullptr);
}

void AfxEnableControlContainer(COccManager* pOccManager)
{
    if (g_pApp == nullptr)
    {
        delete pOccManager;
        return;
    }
    delete g_pApp->m_pOccManager;
    g_pApp->m_pOccManager = pOccManager;
}

int AfxMessageBox(LPCWSTR pszText, UINT nType, UINT nIdHelp)
{
    if (g_pApp != nullptr)
        return g_pApp->DoMessageBox(pszText, nType, nIdHelp);
    return MessageBoxW(GetActiveWindow(), pszText, nullptr, nType);
}
