// Finding the EXIF APP1 segment at the start of a JPEG image, and the place where a new one is
// inserted when there is none. Pure functions over a byte window, callable from any thread.
#pragma once

#include <cstddef>
#include <cstdint>

namespace PlExif
{

// Position and total size (marker and length field included) of an APP1 segment.
struct SApp1Location
{
    size_t nOffset = 0;
    size_t nTotalSize = 0;
};

// Looks for FF D8 at positions 0 to 27, skips one APP0 segment and answers the APP1 segment
// that follows; any other marker there means no APP1. Bytes outside the window never match.
bool LocateApp1(const uint8_t* window, size_t size, SApp1Location& location);

// Where a new APP1 segment goes in a JPEG without one: right after SOI, or after the APP0
// segment that directly follows it. False when there is no SOI in positions 0 to 27 or the
// APP0 segment runs past the end of the window.
bool FindApp1InsertionPoint(const uint8_t* window, size_t size, size_t& position);

} // namespace PlExif
