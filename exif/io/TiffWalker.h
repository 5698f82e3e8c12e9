// Walks the TIFF structure of an EXIF APP1 segment held in memory: the identifier, the header
// and the entries of one directory, with every offset and count checked against the segment.
// One walker per segment and thread; it does not own the bytes.
#pragma once

#include "ExifBytes.h"

#include <cstddef>
#include <cstdint>

namespace PlExif
{

// One 12-byte directory entry as the file has it.
struct STiffEntry
{
    uint16_t wTag = 0;
    uint16_t wType = 0;
    uint32_t nCount = 0;
    size_t nEntryPos = 0;   // position of the entry in the segment
    uint64_t nValuePos = 0; // value position in the segment by the file's type; may lie outside
};

class CTiffWalker
{
public:
    static constexpr size_t kTiffBase = 10; // the TIFF header follows marker, length, "Exif\0\0"
    static constexpr uint16_t kMaxEntries = 512;

    CTiffWalker(const uint8_t* app1, size_t size) : m_pApp1(app1), m_nSize(size) {}

    // The six bytes after marker and length are "Exif" and two NULs.
    bool HasExifIdentifier() const;
    // Byte order mark and 42; sets the byte order and the IFD0 offset.
    bool ReadHeader();

    bool BigEndian() const { return m_bBigEndian; }
    uint32_t Ifd0Offset() const { return m_nIfd0Offset; }

    // Checks the directory at a TIFF offset: offset of at least 8, count, entries and next
    // offset inside the segment, at most 512 entries. Reports the number of entries.
    bool OpenDirectory(uint32_t offset, uint16_t& count) const;
    // Entry `index` of a directory already opened.
    STiffEntry Entry(uint32_t offset, uint16_t index) const;
    // The next-directory offset of an opened directory; false when it is not 0 and its first
    // bytes lie beyond the segment.
    bool NextDirectory(uint32_t offset, uint16_t count, uint32_t& next) const;

    // Value position of an entry if it held `count` elements of `type` (inline when 4 bytes or
    // fewer, else at the offset of its value field).
    uint64_t ValuePos(size_t entryPos, uint32_t type, uint32_t count) const;

    bool Contains(uint64_t pos, uint64_t size) const;
    uint32_t U32At(size_t pos) const;

private:
    const uint8_t* m_pApp1;
    size_t m_nSize;
    bool m_bBigEndian = false;
    uint32_t m_nIfd0Offset = 0;
};

} // namespace PlExif
