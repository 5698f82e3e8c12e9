// Lists the entries of an EXIF APP1 segment as the library writes it: directory, tag number,
// type, count and raw value bytes in the segment's byte order. Used by `plexif show --json`;
// one call per segment, any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace plexif
{

struct SSegmentEntry
{
    unsigned nDirectory;
    uint16_t wTag;
    uint16_t wType;
    uint32_t nCount;
    std::vector<uint8_t> raw; // empty when the value lies outside the segment
};

// False when the segment has no valid TIFF header; directories that cannot be walked are
// left out.
bool ListSegmentEntries(const uint8_t* segment, size_t size, bool& bigEndian,
                        std::vector<SSegmentEntry>& entries);

} // namespace plexif
