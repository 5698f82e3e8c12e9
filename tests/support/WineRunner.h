// Running the Windows build's programs under Wine from host tests: plain runs that report the
// full 32-bit exit code (through pl-run.exe), and driven GUI runs (through pl-driver.exe) that
// report each dialog's texts and save screenshots. One call at a time per thread.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace plt
{

std::filesystem::path Win32BinDir();
std::filesystem::path SourceDir();
// A folder under the build tree for what tests keep for people to look at (screenshots).
std::filesystem::path ArtifactDir();
// A fresh empty folder for one test's files, below the build tree.
std::filesystem::path MakeScratchDir(const std::string& name);
// The path under which a Windows program sees a host file (Wine's Z: drive is /).
std::string ToWindowsPath(const std::filesystem::path& path);

struct RunOptions
{
    std::filesystem::path workingDir; // empty: the test's own
    std::vector<std::pair<std::string, std::string>> environment;
    int timeoutSeconds = 120;
};

// Runs a Windows program and answers its exit code, or nothing when it could not be run or
// did not end in time.
std::optional<uint32_t> RunWindowsProgram(const std::filesystem::path& exe,
                                          const std::vector<std::string>& args,
                                          const RunOptions& options = {});

struct Control
{
    int id = 0;
    std::string className;
    std::string text;
};

struct Dialog
{
    std::string title;
    std::vector<Control> controls;
    const Control* Find(int id) const;
};

struct DriverReport
{
    std::vector<Dialog> dialogs;
    std::optional<uint32_t> exitCode;
    std::vector<std::string> errors;
};

// Starts `exe` with `args` under the dialog driver, which carries out `steps` (--dialog,
// --shot FILE, --press ID, --close; see tests/support/win/Driver.cpp). Screenshot paths are
// host paths.
DriverReport DriveWindowsProgram(const std::filesystem::path& exe,
                                 const std::vector<std::string>& args,
                                 const std::vector<std::string>& steps,
                                 const RunOptions& options = {});

} // namespace plt
