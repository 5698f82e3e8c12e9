// Byte helpers of the reader and writer beyond the byte-order helpers of ExifTypes.h: the
// big-endian JPEG length field and an overflow-free bounds test. Pure functions, any thread.
#pragma once

#include "ExifTypes.h"

#include <cstdint>

namespace PlExif
{

inline void WriteU16BE(uint8_t* p, uint16_t v)
{
    WriteU16(p, v, true);
}

// True when [pos, pos + size) lies within a block of `total` bytes; free of overflow for any
// 64-bit position and size taken from a file.
inline bool SpanInside(uint64_t pos, uint64_t size, uint64_t total)
{
    return pos <= total && size <= total - pos;
}

} // namespace PlExif
