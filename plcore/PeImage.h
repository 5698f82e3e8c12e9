// CPeImage: a read-only view of the headers, sections and resource tree of a PE32 image held in
// memory. Portable (no Windows header); it never reads outside the buffer it was given.
// One object per thread; the buffer must outlive the object.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace plcore
{

enum class PeError
{
    None,
    NotExe,         // no "MZ" at the start
    BadPeSignature, // no "PE\0\0" where the DOS header points
    NotPe32,        // headers truncated, or not a PE32 optional header
};

struct PeSection
{
    std::string name;
    uint32_t virtualAddress = 0;
    uint32_t virtualSize = 0;
    uint32_t rawOffset = 0;
    uint32_t rawSize = 0;
};

struct PeDataDirectory
{
    uint32_t address = 0; // an RVA, except for the security directory (a file offset)
    uint32_t size = 0;
};

// A resource type or name: an integer id, or a name (when `name` is not empty).
struct PeResourceKey
{
    uint16_t id = 0;
    std::u16string name;
};

// Where the data of one resource lies in the file.
struct PeResourceData
{
    uint64_t fileOffset = 0;
    uint32_t size = 0;
};

class CPeImage
{
public:
    static constexpr uint16_t kTypeRcData = 10;
    static constexpr uint16_t kTypeVersion = 16;
    static constexpr int kDirectoryResource = 2;
    static constexpr int kDirectorySecurity = 4;
    // Offsets from the PE signature of the fields a packer rewrites.
    static constexpr uint32_t kSymbolTableField = 12; // PointerToSymbolTable, NumberOfSymbols
    static constexpr uint32_t kCheckSumField = 24 + 64;
    static constexpr uint32_t kSecurityDirectoryField = 24 + 96 + 8 * kDirectorySecurity;

    PeError Parse(std::span<const uint8_t> image);

    uint32_t PeOffset() const { return m_nPeOffset; }
    uint16_t Machine() const { return m_nMachine; }
    uint16_t Subsystem() const { return m_nSubsystem; }
    uint32_t CheckSum() const { return m_nCheckSum; }
    PeDataDirectory DataDirectory(int index) const;
    const std::vector<PeSection>& Sections() const { return m_sections; }

    // Offset just past the raw data of the last section (at least the end of the headers):
    // where data appended to the image begins.
    uint64_t ImageEnd() const { return m_nImageEnd; }

    // File offset of `size` bytes at `rva`, when all of them are backed by the file.
    std::optional<uint64_t> RvaToOffset(uint32_t rva, uint32_t size) const;

    // The first language of resource (type, name); nothing when absent or damaged.
    std::optional<PeResourceData> FindResourceData(const PeResourceKey& type,
                                                   const PeResourceKey& name) const;
    // The names and ids of every resource of `type`.
    std::vector<PeResourceKey> ResourceNames(const PeResourceKey& type) const;

private:
    struct DirEntry
    {
        PeResourceKey key;
        uint32_t target = 0; // offset from the tree's root
        bool isDirectory = false;
    };
    bool ReadDirectory(uint32_t offset, std::vector<DirEntry>& entries) const;
    const DirEntry* Find(const std::vector<DirEntry>& entries, const PeResourceKey& key) const;
    std::optional<uint32_t> SubDirectory(const PeResourceKey& type) const;

    std::span<const uint8_t> m_image;
    uint32_t m_nPeOffset = 0;
    uint16_t m_nMachine = 0;
    uint16_t m_nSubsystem = 0;
    uint32_t m_nCheckSum = 0;
    uint32_t m_nSizeOfHeaders = 0;
    uint64_t m_nImageEnd = 0;
    std::vector<PeDataDirectory> m_directories;
    std::vector<PeSection> m_sections;
    // The resource tree, as a window into the image: offsets inside it are relative to its start.
    std::span<const uint8_t> m_resources;
};

// Resource names compare like Windows compares them: ignoring the case of ASCII letters.
bool ResourceKeyEquals(const PeResourceKey& a, const PeResourceKey& b);

} // namespace plcore
