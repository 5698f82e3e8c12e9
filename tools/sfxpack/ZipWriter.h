// CZipWriter: writes a standard ZIP archive (deflate, Zip64 where a size, an offset or the entry
// count needs it) into an open file, after whatever the file already holds. Offsets stored in the
// archive are absolute from the start of the file. One object per thread; the file stays owned
// by the caller.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace sfxpack
{

struct ZipEntryOptions
{
    uint32_t dosDateTime = 0x00210000; // 1980-01-01 00:00
    bool utf8 = false;                 // sets flag bit 11
};

class CZipWriter
{
public:
    // Entries are written from the current end of `file`.
    explicit CZipWriter(std::FILE* file);

    // `name` is the stored name, "/" separated; a folder's ends with "/". False on a write error.
    bool AddFolder(const std::string& name, const ZipEntryOptions& options);
    // Deflates `size` bytes read from `source` (at its current position).
    bool AddFile(const std::string& name, std::FILE* source, uint64_t size,
                 const ZipEntryOptions& options);
    bool AddData(const std::string& name, const std::string& data, const ZipEntryOptions& options);
    // Writes the central directory and the end records (empty comment). False on a write error.
    bool Finish();

    uint64_t EntryCount() const { return m_entries.size(); }

private:
    struct Entry
    {
        std::string name;
        uint16_t flags = 0;
        uint16_t method = 0;
        uint32_t dosDateTime = 0;
        uint32_t crc = 0;
        uint64_t compressedSize = 0;
        uint64_t uncompressedSize = 0;
        uint64_t localHeaderOffset = 0;
        uint32_t externalAttributes = 0;
        bool zip64Local = false;
    };
    // Deflates `size` bytes from `source`, or from `data` when it is not null.
    bool AddDeflated(const std::string& name, std::FILE* source, const std::string* data,
                     uint64_t size, const ZipEntryOptions& options);
    bool WriteLocalHeader(Entry& entry);
    bool Deflate(Entry& entry, std::FILE* source, const std::string* data, uint64_t size);
    bool FixLocalHeader(const Entry& entry);
    bool Write(const void* data, size_t size);

    std::FILE* m_file;
    uint64_t m_nPosition = 0;
    std::vector<Entry> m_entries;
};

// The MS-DOS date-time (date in the high 16 bits) of a local broken-down time.
uint32_t ToDosDateTime(int year, int month, int day, int hour, int minute, int second);

} // namespace sfxpack
