// Byte-order helpers for EXIF segments: reading and writing 16- and 32-bit numbers in a chosen
// byte order at a byte position. Pure functions, callable from any thread; callers check bounds.
#pragma once

#include <cstddef>
#include <cstdint>

namespace PlExif
{

inline uint16_t ReadBE16(const uint8_t* p)
{
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

inline uint16_t ReadU16(const uint8_t* p, bool bigEndian)
{
    return bigEndian ? ReadBE16(p) : static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline uint32_t ReadU32(const uint8_t* p, bool bigEndian)
{
    if (bigEndian)
        return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
    return (uint32_t(p[3]) << 24) | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
}

inline void WriteBE16(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v >> 8);
    p[1] = static_cast<uint8_t>(v);
}

inline void WriteU16(uint8_t* p, uint16_t v, bool bigEndian)
{
    if (bigEndian)
        return WriteBE16(p, v);
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

inline void WriteU32(uint8_t* p, uint32_t v, bool bigEndian)
{
    for (int i = 0; i < 4; ++i)
        p[bigEndian ? 3 - i : i] = static_cast<uint8_t>(v >> (8 * i));
}

// True when [pos, pos + size) lies within a block of `total` bytes; free of overflow for any
// 64-bit position and size taken from a file.
inline bool SpanInside(uint64_t pos, uint64_t size, uint64_t total)
{
    return pos <= total && size <= total - pos;
}

} // namespace PlExif
