#include "stub/app/App.h"

#include "stub/ui/CmdLineHelpDlg.h"

#include <cwctype>
#include <stdlib.h>

bool IsRelativePath(const std::wstring& path)
{
    if (path.size() < 2)
        return true;
    if (path[0] == L'\\' && path[1] == L'\\')
        return false;
    return !(std::iswalpha(path[0]) && path[1] == L':');
}

void CApp::SetExtractFolder(const std::wstring& folder)
{
    m_bExtractOnly = true;
    m_strExtractFolder = folder;
    if (folder.empty() || !IsRelativePath(folder))
        return;
    DWORD cch = GetCurrentDirectoryW(0, nullptr);
    std::wstring current(cch, L'\0');
    cch = GetCurrentDirectoryW(cch, current.data());
    current.resize(cch);
    if (!current.empty() && current.back() != L'\\')
        current += L'\\';
    m_strExtractFolder = current + folder;
}

void CApp::ParseArguments(const std::vector<std::wstring>& args, bool& bHelpRequested)
{
    bHelpRequested = false;
    for (size_t i = 0; i < args.size(); ++i)
    {
        const std::wstring& arg = args[i];
        if (arg.empty() || (arg[0] != L'-' && arg[0] != L'/'))
            continue;
        std::wstring option = arg.substr(1);
        for (wchar_t& c : option)
            c = static_cast<wchar_t>(std::towlower(c));

        if (option == L"?")
        {
            bHelpRequested = true;
            return;
        }
        if (option == L"x")
        {
            ++i;
            SetExtractFolder(i < args.size() ? args[i] : std::wstring());
        }
        else if (option == L"q")
        {
            m_bQuiet = true;
        }
        else if (option == L"l")
        {
            ++i;
            if (i < args.size())
            {
                SetLanguageFromCulture(args[i]);
                m_bLanguageFromCommandLine = true;
            }
        }
        else if (option.compare(0, 2, L"m=") == 0)
        {
            m_bSkipResourceForwarding = true;
        }
    }
}

bool CApp::ParseCommandLine()
{
    std::vector<std::wstring> args;
    for (int i = 1; i < __argc; ++i)
        args.emplace_back(__wargv[i]);

    bool bHelpRequested = false;
    ParseArguments(args, bHelpRequested);
    if (!bHelpRequested)
        return true;

    stub::CCmdLineHelpDlg dlg;
    dlg.DoModal();
    return false;
}
