// Replays every file of the fuzz corpus (and any files or folders given) through the fuzz body,
// so that the normal builds keep what the fuzzer found. Exit code 0 when no input aborted.
#include "FuzzExifRead.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char** argv)
{
    size_t files = 0;
    for (int i = 1; i < argc; ++i)
    {
        std::vector<std::filesystem::path> inputs;
        if (std::filesystem::is_directory(argv[i]))
            for (const auto& entry : std::filesystem::directory_iterator(argv[i]))
                inputs.push_back(entry.path());
        else
            inputs.emplace_back(argv[i]);
        for (const auto& path : inputs)
        {
            std::ifstream in(path, std::ios::binary);
            const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), {});
            FuzzExifRead(bytes.data(), bytes.size());
            ++files;
        }
    }
    std::printf("replayed %zu inputs\n", files);
    return files ? 0 : 1;
}
