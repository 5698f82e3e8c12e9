// The program entry of a framework program: runs the one application object's start-up.
#include "framework/WinApp.h"

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return -1;
    pApp->m_hInstance = hInstance;
    // A program whose start-up returns true would run a message loop here; none of ours does.
    pApp->InitInstance();
    return pApp->ExitInstance();
}
