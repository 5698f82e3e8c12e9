// The three commands of sfxpack: pack a stub and a payload folder into a setup file, verify a
// setup file as the stub does at start-up, and list its archive. Each throws CPackError with the
// message for the user. Single-threaded.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace sfxpack
{

class CPackError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

struct PackOptions
{
    std::filesystem::path stub;
    std::filesystem::path payload;
    std::filesystem::path output;
    std::string setupInfo; // path inside the archive; empty: the stub's default
    std::string culture;   // empty: keep the stub's
    std::vector<std::pair<std::string, std::string>> values; // PLN... resource = text
};

// Writes the setup file; returns the size recorded in _PLN_VERIFY.
uint64_t Pack(const PackOptions& options);

// The stub's own size check. Returns an empty text when the file passes, else its message.
std::string Verify(const std::filesystem::path& file);

struct ListedEntry
{
    std::string name;
    uint64_t compressedSize = 0;
    uint64_t uncompressedSize = 0;
    uint32_t flags = 0;
};
std::vector<ListedEntry> List(const std::filesystem::path& file);

} // namespace sfxpack
