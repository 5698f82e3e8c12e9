// CApp: the stub's application object. It holds the run-wide settings (run modes from the command
// line, the current installation language, the setup-information path, the exit code) and runs the
// fixed start-up sequence. One instance per process; its members are written only on the main
// thread before the extraction dialog starts, and read-only afterwards.
#pragma once

#include "framework/WinApp.h"

#include <string>
#include <vector>

// Process exit codes that are not the setup program's own.
enum : DWORD
{
    SFX_EXIT_HELP_SHOWN = ERROR_INVALID_PARAMETER,    // 87
    SFX_EXIT_DISK_FULL = ERROR_DISK_FULL,             // 112
    SFX_EXIT_USER_CANCELLED = ERROR_INSTALL_USEREXIT, // 1602
    SFX_ERROR_CREATE_FOLDER = 0x20001002,
    SFX_ERROR_OPEN_ARCHIVE = 0x20001003,
    SFX_ERROR_PAYLOAD = 0x20001004,
    SFX_ERROR_START_SETUP = 0x20001005,
};

class CApp : public CWinApp
{
public:
    CApp();
    ~CApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;
    // In a quiet run no box is shown and 0 is returned, which equals no button's result.
    int DoMessageBox(LPCWSTR pszPrompt, UINT nType, UINT nIdPrompt) override;

    // Makes a culture of the language table current (block base and the name as passed);
    // any other name changes nothing.
    void SetLanguageFromCulture(const std::wstring& culture);

    // Reads the process's command line; false when the help was shown and the run must end.
    bool ParseCommandLine();
    // The parsing itself, over the arguments after the program name. Stops at the help option and
    // reports it through `bHelpRequested` instead of showing the help.
    void ParseArguments(const std::vector<std::wstring>& args, bool& bHelpRequested);
    void SetExtractFolder(const std::wstring& folder);

    int m_nLanguageBase = 1000;
    std::wstring m_strCulture;
    std::wstring m_strSetupInfoPath;
    bool m_bExtractOnly = false;
    std::wstring m_strExtractFolder;
    bool m_bQuiet = false;
    bool m_bSkipResourceForwarding = false;
    bool m_bLanguageFromCommandLine = false;
    bool m_bSetupInfoRead = false;
    bool m_bShowLanguageDialog = false;
    DWORD m_nExitCode = 0;
};

// The one application object (the framework's accessor, typed).
CApp& GetApp();

// False for paths that start with two backslashes or with a letter and a colon.
bool IsRelativePath(const std::wstring& path);
