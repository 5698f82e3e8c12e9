// A DLL of a system name left beside the stub (in the download folder) is never loaded.
// Wine is told to prefer a native DLL over its own for these names, as Windows would for a DLL
// found first in the program's folder; an unprotected program shows that the planting works.
// version.dll is not among them: Wine's own user32 imports it, so Wine loads a planted copy while
// it maps any program, before the program's first instruction (Windows' user32 does not).
#include "tests/support/WineRunner.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace
{

const char* const kPlanted[] = {"uxtheme.dll", "comctl32.dll", "dwmapi.dll",
                                "propsys.dll", "oleacc.dll",   "setupapi.dll"};

fs::path PlantBeside(const fs::path& program)
{
    fs::path dir = plt::MakeScratchDir("planted");
    fs::copy_file(program, dir / program.filename());
    for (const char* name : kPlanted)
        fs::copy_file(plt::Win32BinDir() / "pl-planted.dll", dir / name);
    return dir;
}

plt::RunOptions PreferNative(const fs::path& dir)
{
    plt::RunOptions options;
    options.workingDir = dir;
    options.environment = {
        {"WINEDLLOVERRIDES", "uxtheme,comctl32,dwmapi,propsys,oleacc,setupapi=n,b"}};
    return options;
}

TEST(DllPlanting, AnUnprotectedProgramLoadsThePlantedDlls)
{
    fs::path dir = PlantBeside(plt::Win32BinDir() / "pl-loadlib.exe");
    plt::RunWindowsProgram(dir / "pl-loadlib.exe", {"uxtheme.dll", "dwmapi.dll"},
                           PreferNative(dir));
    EXPECT_TRUE(fs::exists(dir / "planted-uxtheme.dll.txt"));
    EXPECT_TRUE(fs::exists(dir / "planted-dwmapi.dll.txt"));
}

TEST(DllPlanting, TheStubLoadsNoneOfThem)
{
    fs::path dir = PlantBeside(plt::Win32BinDir() / "stub.exe");
    // The help run loads the common controls, themes and the version resource reader.
    plt::DriverReport report = plt::DriveWindowsProgram(
        dir / "stub.exe", {"/?"}, {"--dialog", "--press", "1"}, PreferNative(dir));
    EXPECT_EQ(report.exitCode, 87u);
    for (const char* name : kPlanted)
        EXPECT_FALSE(fs::exists(dir / (std::string("planted-") + name + ".txt"))) << name;
}

} // namespace
