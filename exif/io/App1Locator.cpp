#include "App1Locator.h"

#include "ExifBytes.h"

namespace PlExif
{

namespace
{

constexpr size_t kLastSoiPosition = 27;

bool MarkerAt(const uint8_t* window, size_t size, uint64_t pos, uint8_t code)
{
    return SpanInside(pos, 2, size) && window[pos] == 0xFF && window[pos + 1] == code;
}

// Position after SOI and an optional APP0 segment; false when no SOI is found. The position may
// lie outside the window, in which case no marker matches there.
bool FindAfterSoiAndApp0(const uint8_t* window, size_t size, uint64_t& pos)
{
    for (size_t s = 0; s <= kLastSoiPosition; ++s)
    {
        if (!MarkerAt(window, size, s, 0xD8))
            continue;
        pos = s + 2;
        if (MarkerAt(window, size, pos, 0xE0))
        {
            if (!SpanInside(s + 4, 2, size))
                pos = UINT64_MAX;
            else
                pos = s + 4 + ReadU16BE(window + s + 4);
        }
        return true;
    }
    return false;
}

} // namespace

bool LocateApp1(const uint8_t* window, size_t size, SApp1Location& location)
{
    uint64_t p = 0;
    if (!FindAfterSoiAndApp0(window, size, p) || !MarkerAt(window, size, p, 0xE1) ||
        !SpanInside(p + 2, 2, size))
        return false;
    location.nOffset = static_cast<size_t>(p);
    location.nTotalSize = size_t(ReadU16BE(window + p + 2)) + 2;
    return true;
}

bool FindApp1InsertionPoint(const uint8_t* window, size_t size, size_t& position)
{
    uint64_t p = 0;
    if (!FindAfterSoiAndApp0(window, size, p) || p > size)
        return false;
    position = static_cast<size_t>(p);
    return true;
}

} // namespace PlExif
