#include "tests/support/WineRunner.h"

#include <chrono>
#include <csignal>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace plt
{
namespace
{

// Runs tests/support/wine-run with the arguments; output goes to files, never to a pipe, since
// Wine's helper processes keep inherited handles open after the program ends.
bool RunWine(const std::vector<std::string>& wineArgs, const RunOptions& options,
             const fs::path& logDir)
{
    const std::string runner = (SourceDir() / "tests/support/wine-run").string();
    std::vector<std::string> argvStore = {runner};
    argvStore.insert(argvStore.end(), wineArgs.begin(), wineArgs.end());

    pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0)
    {
        setpgid(0, 0);
        if (!options.workingDir.empty() && chdir(options.workingDir.c_str()) != 0)
            _exit(126);
        for (const auto& [name, value] : options.environment)
            setenv(name.c_str(), value.c_str(), 1);
        FILE* out = freopen((logDir / "wine.out").c_str(), "w", stdout);
        FILE* err = freopen((logDir / "wine.err").c_str(), "w", stderr);
        (void)out;
        (void)err;
        freopen("/dev/null", "r", stdin);
        std::vector<char*> argv;
        for (std::string& a : argvStore)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(options.timeoutSeconds);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0)
    {
        if (std::chrono::steady_clock::now() > deadline)
        {
            kill(-pid, SIGKILL);
            waitpid(pid, &status, 0);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return WIFEXITED(status);
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Unescape(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] != '\\' || i + 1 == text.size())
        {
            out += text[i];
            continue;
        }
        char c = text[++i];
        out += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
    }
    return out;
}

std::vector<std::string> SplitTabs(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
}

int g_scratchCounter = 0;

} // namespace

fs::path Win32BinDir()
{
    return PL_WIN32_BIN_DIR;
}

fs::path SourceDir()
{
    return PL_SOURCE_DIR;
}

fs::path ArtifactDir()
{
    fs::path dir = PL_ARTIFACT_DIR;
    fs::create_directories(dir);
    return dir;
}

fs::path MakeScratchDir(const std::string& name)
{
    fs::path dir =
        fs::path(PL_ARTIFACT_DIR) / "scratch" /
        (name + "-" + std::to_string(getpid()) + "-" + std::to_string(++g_scratchCounter));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

std::string ToWindowsPath(const fs::path& path)
{
    std::string text = "Z:" + fs::absolute(path).lexically_normal().string();
    for (char& c : text)
        if (c == '/')
            c = '\\';
    return text;
}

std::optional<uint32_t> RunWindowsProgram(const fs::path& exe, const std::vector<std::string>& args,
                                          const RunOptions& options)
{
    fs::path dir = MakeScratchDir("run");
    fs::path result = dir / "exit.txt";
    std::vector<std::string> wineArgs = {(Win32BinDir() / "pl-run.exe").string(),
                                         ToWindowsPath(result), ToWindowsPath(exe)};
    wineArgs.insert(wineArgs.end(), args.begin(), args.end());
    if (!RunWine(wineArgs, options, dir))
        return std::nullopt;
    std::string text = ReadFile(result);
    if (text.empty())
        return std::nullopt;
    return static_cast<uint32_t>(std::stoul(text));
}

const Control* Dialog::Find(int id) const
{
    for (const Control& control : controls)
        if (control.id == id)
            return &control;
    return nullptr;
}

DriverReport DriveWindowsProgram(const fs::path& exe, const std::vector<std::string>& args,
                                 const std::vector<std::string>& steps, const RunOptions& options)
{
    fs::path dir = MakeScratchDir("drive");
    fs::path reportPath = dir / "report.txt";
    std::vector<std::string> wineArgs = {(Win32BinDir() / "pl-driver.exe").string(),
                                         ToWindowsPath(reportPath)};
    for (size_t i = 0; i < steps.size(); ++i)
    {
        wineArgs.push_back(steps[i]);
        if (steps[i] == "--shot" && i + 1 < steps.size())
            wineArgs.push_back(ToWindowsPath(steps[++i]));
    }
    wineArgs.push_back("--");
    wineArgs.push_back(ToWindowsPath(exe));
    wineArgs.insert(wineArgs.end(), args.begin(), args.end());

    DriverReport report;
    if (!RunWine(wineArgs, options, dir))
        report.errors.push_back("the driver did not end in time");
    std::istringstream lines(ReadFile(reportPath));
    for (std::string line; std::getline(lines, line);)
    {
        std::vector<std::string> f = SplitTabs(line);
        if (f[0] == "dialog" && f.size() >= 2)
            report.dialogs.push_back({Unescape(f[1]), {}});
        else if (f[0] == "control" && f.size() >= 4 && !report.dialogs.empty())
            report.dialogs.back().controls.push_back(
                {std::stoi(f[1]), Unescape(f[2]), Unescape(f[3])});
        else if (f[0] == "exit" && f.size() >= 2)
            report.exitCode = static_cast<uint32_t>(std::stoul(f[1]));
        else if (f[0] == "error")
            report.errors.push_back(f.size() >= 2 ? f[1] : "error");
    }
    return report;
}

} // namespace plt
