#include "SegmentEntries.h"

#include "PlexifTags.h"
#include "TiffWalker.h"

namespace plexif
{

namespace
{

// Walks one directory; answers the value of the first entry with `pointerTag` (0 if none)
// and, on request, the next-directory offset.
uint32_t Walk(const PlExif::CTiffWalker& walker, const uint8_t* segment, uint32_t offset,
              unsigned directory, uint16_t pointerTag, uint16_t pointerTag2, uint32_t* pointer2,
              uint32_t* next, std::vector<SSegmentEntry>& entries)
{
    uint16_t count = 0;
    uint32_t pointer = 0;
    if (!walker.OpenDirectory(offset, count))
        return 0;
    for (uint16_t i = 0; i < count; ++i)
    {
        const PlExif::STiffEntry e = walker.Entry(offset, i);
        SSegmentEntry out{directory, e.wTag, e.wType, e.nCount, {}};
        const uint64_t size = uint64_t(e.nCount) * PlExif::ElementSize(e.wType);
        if (walker.Contains(e.nValuePos, size))
            out.raw.assign(segment + e.nValuePos, segment + e.nValuePos + size);
        if (pointerTag && e.wTag == pointerTag)
            pointer = walker.U32At(e.nEntryPos + 8);
        if (pointer2 && e.wTag == pointerTag2)
            *pointer2 = walker.U32At(e.nEntryPos + 8);
        entries.push_back(std::move(out));
    }
    if (next && !walker.NextDirectory(offset, count, *next))
        *next = 0;
    return pointer;
}

} // namespace

bool ListSegmentEntries(const uint8_t* segment, size_t size, bool& bigEndian,
                        std::vector<SSegmentEntry>& entries)
{
    entries.clear();
    PlExif::CTiffWalker walker(segment, size);
    if (!walker.HasExifIdentifier() || !walker.ReadHeader())
        return false;
    bigEndian = walker.BigEndian();
    uint32_t gps = 0, next = 0;
    const uint32_t exif =
        Walk(walker, segment, walker.Ifd0Offset(), eDirIfd0, 0x8769, 0x8825, &gps, &next, entries);
    if (exif)
    {
        const uint32_t interop =
            Walk(walker, segment, exif, eDirExif, 0xA005, 0, nullptr, nullptr, entries);
        if (interop)
            Walk(walker, segment, interop, eDirInterop, 0, 0, nullptr, nullptr, entries);
    }
    if (gps)
        Walk(walker, segment, gps, eDirGps, 0, 0, nullptr, nullptr, entries);
    if (next)
        Walk(walker, segment, next, eDirIfd1, 0, 0, nullptr, nullptr, entries);
    return true;
}

} // namespace plexif
