// The command-line help as a user sees it: stub.exe started with /?, the dialog's texts read back,
// OK pressed, and the exit code 87. Screenshots land in build/host/artifacts/help/.
#include "StringTable.h"
#include "tests/support/WineRunner.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace
{

struct HelpCase
{
    const char* name;
    std::vector<std::string> args;
    std::string culture; // whose texts the dialog shows
    int blockBase;
};

void PrintTo(const HelpCase& c, std::ostream* os)
{
    *os << c.name;
}

class HelpDialog : public testing::TestWithParam<HelpCase>
{
};

TEST_P(HelpDialog, ShowsTheUsageAndEndsWith87)
{
    const HelpCase& c = GetParam();
    fs::path shots = plt::ArtifactDir() / "help";
    fs::create_directories(shots);
    fs::path shot = shots / (std::string(c.name) + ".png");
    fs::remove(shot);

    plt::DriverReport report =
        plt::DriveWindowsProgram(plt::Win32BinDir() / "stub.exe", c.args,
                                 {"--dialog", "--shot", shot.string(), "--press", "1"});

    ASSERT_TRUE(report.errors.empty()) << report.errors.front();
    ASSERT_EQ(report.dialogs.size(), 1u);
    const plt::Dialog& dialog = report.dialogs[0];
    EXPECT_EQ(dialog.title, StubString(c.culture, c.blockBase + 163));
    ASSERT_NE(dialog.Find(1003), nullptr);
    EXPECT_EQ(dialog.Find(1003)->text, StubString(c.culture, c.blockBase + 158));
    ASSERT_NE(dialog.Find(1), nullptr);
    EXPECT_EQ(dialog.Find(1)->text, StubString(c.culture, c.blockBase + 140));
    EXPECT_EQ(report.exitCode, 87u);
    EXPECT_TRUE(fs::exists(shot) && fs::file_size(shot) > 1000) << shot;
}

INSTANTIATE_TEST_SUITE_P(
    Languages, HelpDialog,
    testing::Values(HelpCase{"English", {"/?"}, "en-us", 1000},
                    HelpCase{"German", {"-l", "de-DE", "/?"}, "de-de", 4000},
                    // The help is read before the language: later options are not read.
                    HelpCase{"HelpBeforeLanguage", {"-?", "-l", "de-DE"}, "en-us", 1000},
                    // A quiet run suppresses message boxes, not the help.
                    HelpCase{"QuietStillShowsHelp", {"-q", "/?"}, "en-us", 1000},
                    HelpCase{"Greek", {"-l", "el-GR", "/?"}, "el-gr", 5000},
                    HelpCase{"Russian", {"-l", "ru-RU", "/?"}, "ru-ru", 19000},
                    HelpCase{"Japanese", {"-l", "ja-JP", "/?"}, "ja-jp", 13000},
                    HelpCase{"Korean", {"-l", "ko-KR", "/?"}, "ko-kr", 14000},
                    HelpCase{"ChineseSimplified", {"-l", "zh-CN", "/?"}, "zh-cn", 22000},
                    HelpCase{"ChineseTraditional", {"-l", "zh-TW", "/?"}, "zh-tw", 23000}),
    [](const testing::TestParamInfo<HelpCase>& info) { return std::string(info.param.name); });

// Closing the dialog from its title bar ends the run the same way.
TEST(HelpDialogClose, ClosingTheWindowEndsWith87)
{
    plt::DriverReport report =
        plt::DriveWindowsProgram(plt::Win32BinDir() / "stub.exe", {"/?"}, {"--dialog", "--close"});
    ASSERT_TRUE(report.errors.empty()) << report.errors.front();
    EXPECT_EQ(report.exitCode, 87u);
}

} // namespace
