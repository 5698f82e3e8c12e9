#include "stub/app/App.h"

#include "plcore/win32/FontOccManager.h"
#include "stub/app/DllSearchPath.h"
#include "stub/payload/ModulePath.h"
#include "stub/payload/VerifySetupFile.h"
#include "stub/setup/StubDefaults.h"

#include <clocale>
#include <commctrl.h>
#include <objbase.h>

namespace
{

// comctl32 is a side-by-side DLL, not a KnownDLL: it is loaded only after the DLL search path has
// been restricted, and reached through GetProcAddress instead of the import table.
void RegisterCommonControls()
{
    HMODULE hComCtl = LoadLibraryW(L"comctl32.dll");
    if (hComCtl == nullptr)
        return;
    using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    auto init = reinterpret_cast<InitFn>(
        reinterpret_cast<void*>(GetProcAddress(hComCtl, "InitCommonControlsEx")));
    if (init == nullptr)
        return;
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = 8;
    icc.dwICC = 0xFF; // list view, tree view, bars, tabs, up-down, progress, hot key, animation
    init(&icc);
}

} // namespace

CApp::CApp() : CWinApp(L"Setup Self-Extractor") {}

CApp::~CApp() = default;

CApp& GetApp()
{
    return *static_cast<CApp*>(AfxGetApp());
}

BOOL CApp::InitInstance()
{
    // The stub runs from download folders where anyone may have left a DLL of a system name:
    // before anything can load a DLL, only the system folder is searched.
    stub::RestrictDllSearchPath();

    setlocale(LC_ALL, "");
    RegisterCommonControls();
    CWinApp::InitInstance();
    CoInitialize(nullptr);
    AfxEnableControlContainer(new plcore::CFontOccManager);

    stub::ReadStubDefaults(*this);

    if (!ParseCommandLine())
    {
        m_nExitCode = SFX_EXIT_HELP_SHOWN;
        return FALSE;
    }

    // Nothing more is read from a file that is not whole.
    const std::wstring damage = stub::VerifySetupFile(stub::GetOwnModulePath());
    if (!damage.empty())
    {
        AfxMessageBox(damage.c_str(), MB_ICONERROR | MB_OK);
        m_nExitCode = SFX_ERROR_PAYLOAD;
        return FALSE;
    }
    return FALSE;
}

int CApp::ExitInstance()
{
    CoUninitialize();
    CWinApp::ExitInstance();
    return static_cast<int>(m_nExitCode);
}

int CApp::DoMessageBox(LPCWSTR pszPrompt, UINT nType, UINT nIdPrompt)
{
    if (m_bQuiet)
        return 0;
    return CWinApp::DoMessageBox(pszPrompt, nType, nIdPrompt);
}
