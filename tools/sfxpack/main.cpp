// sfxpack: makes, checks and lists setup files (a stub image with its payload archive appended).
#include "tools/sfxpack/SetupPacker.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace
{

constexpr const char* kUsage =
    "usage:\n"
    "  sfxpack pack --stub STUB.EXE --payload DIR -o SETUP.EXE\n"
    "               [--setup-info PATH-IN-ARCHIVE] [--culture CODE] [--value NAME=TEXT]...\n"
    "  sfxpack verify SETUP.EXE\n"
    "  sfxpack list SETUP.EXE\n";

int Usage(const std::string& problem)
{
    std::cerr << "sfxpack: " << problem << "\n" << kUsage;
    return 2;
}

// Arguments are UTF-8 on both systems (Windows hands them over as UTF-16).
std::filesystem::path PathFromUtf8(const std::string& text)
{
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

int RunPack(const std::vector<std::string>& args)
{
    sfxpack::PackOptions options;
    for (size_t i = 2; i < args.size(); ++i)
    {
        const std::string arg = args[i];
        if (i + 1 >= args.size())
            return Usage("option " + arg + " needs a value");
        const std::string value = args[++i];
        if (arg == "--stub")
            options.stub = PathFromUtf8(value);
        else if (arg == "--payload")
            options.payload = PathFromUtf8(value);
        else if (arg == "-o" || arg == "--output")
            options.output = PathFromUtf8(value);
        else if (arg == "--setup-info")
            options.setupInfo = value;
        else if (arg == "--culture")
            options.culture = value;
        else if (arg == "--value")
        {
            const size_t eq = value.find('=');
            if (eq == std::string::npos || eq == 0)
                return Usage("--value needs NAME=TEXT, not \"" + value + "\"");
            options.values.emplace_back(value.substr(0, eq), value.substr(eq + 1));
        }
        else
            return Usage("unknown option " + arg);
    }
    if (options.stub.empty() || options.payload.empty() || options.output.empty())
        return Usage("pack needs --stub, --payload and -o");
    const uint64_t size = sfxpack::Pack(options);
    if (options.setupInfo.empty())
    {
        // The stub reads its configuration from this entry before anything else.
        const auto entries = sfxpack::List(options.output);
        const bool found =
            !entries.empty() && entries.front().name.size() == 13 &&
            std::equal(entries.front().name.begin(), entries.front().name.end(), "SetupInfo.ini",
                       [](char a, char b)
                       {
                           return std::tolower(static_cast<unsigned char>(a)) ==
                                  std::tolower(static_cast<unsigned char>(b));
                       });
        if (!found)
            std::cerr << "sfxpack: warning: the payload has no SetupInfo.ini and no --setup-info "
                         "was given; the stub will stop with its payload error\n";
    }
    const std::u8string shown = options.output.u8string();
    std::cout << std::string(shown.begin(), shown.end()) << ": " << size << " bytes\n";
    return 0;
}

int Run(const std::vector<std::string>& args)
{
    if (args.size() < 2)
        return Usage("no command given");
    const std::string command = args[1];
    try
    {
        if (command == "pack")
            return RunPack(args);
        if (command == "verify" && args.size() == 3)
        {
            const std::string message = sfxpack::Verify(PathFromUtf8(args[2]));
            if (message.empty())
            {
                std::cout << args[2] << ": OK\n";
                return 0;
            }
            std::cerr << args[2] << ": " << message << "\n";
            return 1;
        }
        if (command == "list" && args.size() == 3)
        {
            for (const sfxpack::ListedEntry& e : sfxpack::List(PathFromUtf8(args[2])))
                std::printf("%12llu %12llu  %s\n",
                            static_cast<unsigned long long>(e.uncompressedSize),
                            static_cast<unsigned long long>(e.compressedSize), e.name.c_str());
            return 0;
        }
        return Usage("unknown command or wrong arguments: " + command);
    }
    catch (const sfxpack::CPackError& e)
    {
        std::cerr << "sfxpack: " << e.what() << "\n";
        return 1;
    }
}

} // namespace

#ifdef _WIN32
#include <windows.h>

int wmain(int argc, wchar_t** argv)
{
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i)
    {
        const int n = ::WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
        if (n > 1)
            ::WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, arg.data(), n, nullptr, nullptr);
        args.push_back(std::move(arg));
    }
    return Run(args);
}
#else
int main(int argc, char** argv)
{
    return Run(std::vector<std::string>(argv, argv + argc));
}
#endif
