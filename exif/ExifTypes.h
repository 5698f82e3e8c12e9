// ExifTypes.h - the TIFF field types, the directory index EExifIfd, element sizes and the
// explicit little/big-endian helpers every byte layout of the library is read and written with.
// Constants and pure functions: callable from any thread.
#pragma once

#include "PlExif.h"

#include <cstddef>
#include <cstdint>

namespace PlExif
{

// TIFF field type numbers.
enum ETiffType : uint32_t
{
    eTypeByte = 1,
    eTypeAscii = 2,
    eTypeShort = 3,
    eTypeLong = 4,
    eTypeRational = 5,
    eTypeSByte = 6,
    eTypeUndefined = 7,
    eTypeSShort = 8,
    eTypeSLong = 9,
    eTypeSRational = 10,
};

// The five directories, in the order the iterator visits them.
enum EExifIfd : uint32_t
{
    eIfd0 = 0,
    eIfdGps = 1,
    eIfdExif = 2,
    eIfdInterop = 3,
    eIfd1 = 4,
};
constexpr uint32_t kIfdCount = 5;

constexpr uint32_t kTagIdCount = 86;
// The APP1 segment's budget: its 16-bit length field.
constexpr uint32_t kApp1Budget = 65536;

// Well-known tag numbers the library handles itself.
constexpr uint16_t kTagMake = 0x010F;
constexpr uint16_t kTagModel = 0x0110;
constexpr uint16_t kTagDateTime = 0x0132;
constexpr uint16_t kTagDateTimeOriginal = 0x9003;
constexpr uint16_t kTagUserComment = 0x9286;
constexpr uint16_t kTagThumbnailOffset = 0x0201;
constexpr uint16_t kTagThumbnailLength = 0x0202;
constexpr uint16_t kTagExifPointer = 0x8769;
constexpr uint16_t kTagGpsPointer = 0x8825;
constexpr uint16_t kTagInteropPointer = 0xA005;

// Bytes per element: SHORT 2, LONG and SLONG 4, RATIONAL and SRATIONAL 8, every other type 1.
constexpr uint32_t ElementSize(uint32_t type)
{
    switch (type)
    {
    case eTypeShort:
        return 2;
    case eTypeLong:
    case eTypeSLong:
        return 4;
    case eTypeRational:
    case eTypeSRational:
        return 8;
    default:
        return 1;
    }
}

// count x element size, in 64 bits so that no untrusted count can overflow it.
constexpr uint64_t ValueSize(uint32_t type, uint32_t count)
{
    return uint64_t(count) * ElementSize(type);
}

inline uint16_t ReadU16(const uint8_t* p, bool bigEndian)
{
    return bigEndian ? uint16_t((p[0] << 8) | p[1]) : uint16_t(p[0] | (p[1] << 8));
}

inline uint32_t ReadU32(const uint8_t* p, bool bigEndian)
{
    return bigEndian ? (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) |
                           uint32_t(p[3])
                     : uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) |
                           (uint32_t(p[3]) << 24);
}

inline void WriteU16(uint8_t* p, uint16_t v, bool bigEndian)
{
    if (bigEndian)
    {
        p[0] = uint8_t(v >> 8);
        p[1] = uint8_t(v);
    }
    else
    {
        p[0] = uint8_t(v);
        p[1] = uint8_t(v >> 8);
    }
}

inline void WriteU32(uint8_t* p, uint32_t v, bool bigEndian)
{
    if (bigEndian)
    {
        p[0] = uint8_t(v >> 24);
        p[1] = uint8_t(v >> 16);
        p[2] = uint8_t(v >> 8);
        p[3] = uint8_t(v);
    }
    else
    {
        p[0] = uint8_t(v);
        p[1] = uint8_t(v >> 8);
        p[2] = uint8_t(v >> 16);
        p[3] = uint8_t(v >> 24);
    }
}

inline uint16_t ReadU16BE(const uint8_t* p)
{
    return ReadU16(p, true);
}

} // namespace PlExif
