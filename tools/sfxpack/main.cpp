// sfxpack: makes, checks and lists setup files (a stub image with its payload archive appended).
#include "tools/sfxpack/SetupPacker.h"

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

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

int RunPack(int argc, char** argv)
{
    sfxpack::PackOptions options;
    for (int i = 2; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (i + 1 >= argc)
            return Usage("option " + arg + " needs a value");
        const std::string value = argv[++i];
        if (arg == "--stub")
            options.stub = value;
        else if (arg == "--payload")
            options.payload = value;
        else if (arg == "-o" || arg == "--output")
            options.output = value;
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
    std::cout << options.output.string() << ": " << size << " bytes\n";
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage("no command given");
    const std::string command = argv[1];
    try
    {
        if (command == "pack")
            return RunPack(argc, argv);
        if (command == "verify" && argc == 3)
        {
            const std::string message = sfxpack::Verify(argv[2]);
            if (message.empty())
            {
                std::cout << argv[2] << ": OK\n";
                return 0;
            }
            std::cerr << argv[2] << ": " << message << "\n";
            return 1;
        }
        if (command == "list" && argc == 3)
        {
            for (const sfxpack::ListedEntry& e : sfxpack::List(argv[2]))
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
