// The stub's command line: which options set which run modes, as a table of argument lists.
#include "stub/app/App.h"

#include <gtest/gtest.h>

namespace
{

std::wstring CurrentDirectoryWithBackslash()
{
    wchar_t buffer[MAX_PATH];
    DWORD cch = GetCurrentDirectoryW(MAX_PATH, buffer);
    std::wstring dir(buffer, cch);
    if (dir.back() != L'\\')
        dir += L'\\';
    return dir;
}

const wchar_t* const kRelative = L"<cwd>"; // marks an expected folder below the current directory

struct Case
{
    const char* name;
    std::vector<std::wstring> args;
    bool help;
    bool extractOnly;
    std::wstring folder; // prefixed by kRelative: joined with the current directory
    bool quiet;
    bool skipForwarding;
    bool languageFromCommandLine;
    int languageBase;
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}

std::wstring Expected(const std::wstring& folder)
{
    const std::wstring marker = kRelative;
    if (folder.compare(0, marker.size(), marker) == 0)
        return CurrentDirectoryWithBackslash() + folder.substr(marker.size());
    return folder;
}

class CommandLine : public testing::TestWithParam<Case>
{
};

TEST_P(CommandLine, SetsTheRunModes)
{
    const Case& c = GetParam();
    CApp app;
    bool help = false;
    app.ParseArguments(c.args, help);
    EXPECT_EQ(help, c.help);
    EXPECT_EQ(app.m_bExtractOnly, c.extractOnly);
    EXPECT_EQ(app.m_strExtractFolder, Expected(c.folder));
    EXPECT_EQ(app.m_bQuiet, c.quiet);
    EXPECT_EQ(app.m_bSkipResourceForwarding, c.skipForwarding);
    EXPECT_EQ(app.m_bLanguageFromCommandLine, c.languageFromCommandLine);
    EXPECT_EQ(app.m_nLanguageBase, c.languageBase);
}

const std::wstring kCwd = kRelative;

// name, args, help, extract-only, folder, quiet, skip forwarding, -l given, language base
INSTANTIATE_TEST_SUITE_P(
    Options, CommandLine,
    testing::Values(
        Case{"NoArguments", {}, false, false, L"", false, false, false, 1000},
        Case{"HelpWithSlash", {L"/?"}, true, false, L"", false, false, false, 1000},
        Case{"HelpWithDash", {L"-?"}, true, false, L"", false, false, false, 1000},
        Case{"ArgumentsAfterHelpAreNotRead",
             {L"/?", L"/q"},
             true,
             false,
             L"",
             false,
             false,
             false,
             1000},
        Case{"QuietBeforeHelpStillHelps",
             {L"-q", L"-?"},
             true,
             false,
             L"",
             true,
             false,
             false,
             1000},
        Case{"UpperCaseX",
             {L"/X", L"C:\\target"},
             false,
             true,
             L"C:\\target",
             false,
             false,
             false,
             1000},
        Case{"DashLowerX",
             {L"-x", L"C:\\target"},
             false,
             true,
             L"C:\\target",
             false,
             false,
             false,
             1000},
        Case{"JoinedLettersAreNoOption", {L"-xq"}, false, false, L"", false, false, false, 1000},
        Case{"XAsLastArgumentGivesEmptyFolder",
             {L"-x"},
             false,
             true,
             L"",
             false,
             false,
             false,
             1000},
        Case{"XTakesAnOptionAsItsFolder",
             {L"-x", L"-q"},
             false,
             true,
             kCwd + L"-q",
             false,
             false,
             false,
             1000},
        Case{"UncFolderUnchanged",
             {L"/x", L"\\\\server\\share\\dir"},
             false,
             true,
             L"\\\\server\\share\\dir",
             false,
             false,
             false,
             1000},
        Case{"DriveOnlyUnchanged", {L"/x", L"D:"}, false, true, L"D:", false, false, false, 1000},
        Case{"RelativeFolderJoined",
             {L"/x", L"sub\\dir"},
             false,
             true,
             kCwd + L"sub\\dir",
             false,
             false,
             false,
             1000},
        Case{"SingleBackslashJoinedToo",
             {L"/x", L"\\dir"},
             false,
             true,
             kCwd + L"\\dir",
             false,
             false,
             false,
             1000},
        Case{"LastXWins",
             {L"/x", L"C:\\a", L"/x", L"C:\\b"},
             false,
             true,
             L"C:\\b",
             false,
             false,
             false,
             1000},
        Case{"QuietWithExtract",
             {L"/q", L"/x", L"C:\\t"},
             false,
             true,
             L"C:\\t",
             true,
             false,
             false,
             1000},
        Case{"LanguageKnown", {L"-l", L"de-DE"}, false, false, L"", false, false, true, 4000},
        Case{"LanguageUnknownStillSetsFlag",
             {L"-l", L"xx-XX"},
             false,
             false,
             L"",
             false,
             false,
             true,
             1000},
        Case{"LanguageMissing", {L"-l"}, false, false, L"", false, false, false, 1000},
        Case{"LanguageTakesHelpAsCulture",
             {L"-l", L"-?"},
             false,
             false,
             L"",
             false,
             false,
             true,
             1000},
        Case{"LanguageThenHelp",
             {L"-l", L"de-DE", L"-?"},
             true,
             false,
             L"",
             false,
             false,
             true,
             4000},
        Case{"HelpThenLanguageIsNotRead",
             {L"-?", L"-l", L"de-DE"},
             true,
             false,
             L"",
             false,
             false,
             false,
             1000},
        Case{"MEqualsSkipsForwarding", {L"/m="}, false, false, L"", false, true, false, 1000},
        Case{"UpperMEqualsAnything", {L"-M=anything"}, false, false, L"", false, true, false, 1000},
        Case{"BareMIsNoOption", {L"/m"}, false, false, L"", false, false, false, 1000},
        Case{"PlainArgumentsIgnored",
             {L"C:\\setup.exe", L"q", L""},
             false,
             false,
             L"",
             false,
             false,
             false,
             1000},
        Case{
            "UnknownOptionIgnored", {L"/z", L"--q"}, false, false, L"", false, false, false, 1000}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(IsRelativePath, RootsAndShortPaths)
{
    EXPECT_FALSE(IsRelativePath(L"C:\\x"));
    EXPECT_FALSE(IsRelativePath(L"c:"));
    EXPECT_FALSE(IsRelativePath(L"\\\\server"));
    EXPECT_TRUE(IsRelativePath(L"\\dir"));
    EXPECT_TRUE(IsRelativePath(L"a"));
    EXPECT_TRUE(IsRelativePath(L""));
    EXPECT_TRUE(IsRelativePath(L"1:\\x"));
}

} // namespace
