// ExifTagDef.cpp - the 86 rows of the tag definition table and the row maps per directory.

#include "ExifTagDef.h"

#include "ExifFormat.h"
#include "ExifTagTypes.h"

#include <cstddef>

namespace PlExif
{

namespace
{

// clang-format off
const SExifTagDef kTagDefs[kTagIdCount] = {
    {0, 0x0100, eIfd0, eTypeLong, 130, FormatLong, MakeTag},
    {1, 0x0101, eIfd0, eTypeLong, 131, FormatLong, MakeTag},
    {2, 0x0103, eIfd0, eTypeShort, 132, FormatCompression, MakeTag},
    {3, 0x0106, eIfd0, eTypeShort, 133, FormatPhotometric, MakeTag},
    {4, 0x010E, eIfd0, eTypeAscii, 110, FormatText, MakeTag},
    {5, 0x010F, eIfd0, eTypeAscii, 122, FormatText, MakeTag},
    {6, 0x0110, eIfd0, eTypeAscii, 116, FormatText, MakeTag},
    {7, 0x0112, eIfd0, eTypeShort, 105, FormatOrientation, MakeTag},
    {8, 0x0115, eIfd0, eTypeShort, 134, FormatShort, MakeTag},
    {9, 0x011A, eIfd0, eTypeRational, 136, FormatRational, MakeTag},
    {10, 0x011B, eIfd0, eTypeRational, 137, FormatRational, MakeTag},
    {11, 0x011C, eIfd0, eTypeShort, 135, FormatPlanar, MakeTag},
    {12, 0x0128, eIfd0, eTypeShort, 138, FormatResolutionUnit, MakeTag},
    {13, 0x0131, eIfd0, eTypeAscii, 129, FormatText, MakeTag},
    {14, 0x0132, eIfd0, eTypeAscii, 106, FormatDateTime, MakeTag},
    {15, 0x013B, eIfd0, eTypeAscii, 109, FormatText, MakeTag},
    {16, 0x8298, eIfd0, eTypeAscii, 140, FormatText, MakeTag},
    {17, 0x0201, eIfd1, eTypeLong, 111, FormatLong, MakeTag},
    {18, 0x0202, eIfd1, eTypeLong, 112, FormatLong, MakeTag},
    {19, 0x0213, eIfd0, eTypeShort, 139, FormatYCbCrPositioning, MakeTag},
    {20, 0x8769, eIfd0, eTypeLong, 113, FormatLong, MakeTag},
    {21, 0x8825, eIfd0, eTypeLong, 114, FormatLong, MakeTag},
    {22, 0xA005, eIfdExif, eTypeLong, 115, FormatLong, MakeTag},
    {23, 0x829A, eIfdExif, eTypeRational, 119, FormatExposureTime, MakeTag},
    {24, 0x829D, eIfdExif, eTypeRational, 118, FormatFNumber, MakeTag},
    {25, 0x8822, eIfdExif, eTypeShort, 147, FormatExposureProgram, MakeTag},
    {26, 0x8824, eIfdExif, eTypeAscii, 152, FormatText, MakeTag},
    {27, 0x8827, eIfdExif, eTypeShort, 120, FormatShort, MakeTag},
    {28, 0x9003, eIfdExif, eTypeAscii, 107, FormatDateTime, MakeTag},
    {29, 0x9004, eIfdExif, eTypeAscii, 141, FormatDateTime, MakeTag},
    {30, 0x9102, eIfdExif, eTypeRational, 143, FormatRational, MakeTag},
    {31, 0x9201, eIfdExif, eTypeSRational, 159, FormatShutterSpeed, MakeTag},
    {32, 0x9202, eIfdExif, eTypeRational, 117, FormatAperture, MakeTag},
    {33, 0x9203, eIfdExif, eTypeSRational, 160, FormatSRational, MakeTag},
    {34, 0x9204, eIfdExif, eTypeSRational, 161, FormatSRational, MakeTag},
    {35, 0x9205, eIfdExif, eTypeRational, 148, FormatAperture, MakeTag},
    {36, 0x9207, eIfdExif, eTypeShort, 149, FormatMeteringMode, MakeTag},
    {37, 0x9208, eIfdExif, eTypeShort, 150, FormatLightSource, MakeTag},
    {38, 0x9209, eIfdExif, eTypeShort, 151, FormatFlash, MakeTag},
    {39, 0x920A, eIfdExif, eTypeRational, 121, FormatFocalLength, MakeTag},
    {40, 0x9286, eIfdExif, eTypeUndefined, 108, FormatComment, MakeTag},
    {41, 0x9290, eIfdExif, eTypeAscii, 144, FormatDateTimeFixed, MakeTag},
    {42, 0x9291, eIfdExif, eTypeAscii, 145, FormatDateTimeFixed, MakeTag},
    {43, 0x9292, eIfdExif, eTypeAscii, 146, FormatDateTimeFixed, MakeTag},
    {44, 0xA001, eIfdExif, eTypeShort, 142, FormatColorSpace, MakeTag},
    {45, 0xA002, eIfdExif, eTypeLong, 103, FormatLong, MakeTag},
    {46, 0xA003, eIfdExif, eTypeLong, 104, FormatLong, MakeTag},
    {47, 0xA20B, eIfdExif, eTypeRational, 153, FormatRational, MakeTag},
    {48, 0xA20E, eIfdExif, eTypeRational, 154, FormatRational, MakeTag},
    {49, 0xA20F, eIfdExif, eTypeRational, 155, FormatRational, MakeTag},
    {50, 0xA210, eIfdExif, eTypeShort, 156, FormatResolutionUnit, MakeTag},
    {51, 0xA215, eIfdExif, eTypeRational, 157, FormatRational, MakeTag},
    {52, 0xA217, eIfdExif, eTypeShort, 158, FormatSensingMethod, MakeTag},
    {53, 0xA405, eIfd0, eTypeShort, 125, FormatFocalLength35, MakeTag},
    {54, 0x0000, eIfdGps, eTypeByte, 162, FormatGpsVersion, MakeTag},
    {55, 0x0001, eIfdGps, eTypeAscii, 163, FormatLatitudeRef, MakeTag},
    {56, 0x0002, eIfdGps, eTypeRational, 164, FormatGpsCoordinate, MakeTag},
    {57, 0x0003, eIfdGps, eTypeAscii, 165, FormatLongitudeRef, MakeTag},
    {58, 0x0004, eIfdGps, eTypeRational, 166, FormatGpsCoordinate, MakeTag},
    {59, 0x0005, eIfdGps, eTypeByte, 167, FormatByte, MakeTag},
    {60, 0x0006, eIfdGps, eTypeRational, 168, FormatRational, MakeTag},
    {61, 0x0007, eIfdGps, eTypeRational, 169, FormatRational, MakeTag},
    {62, 0x0008, eIfdGps, eTypeAscii, 170, FormatText, MakeTag},
    {63, 0x0009, eIfdGps, eTypeAscii, 171, FormatText, MakeTag},
    {64, 0x000A, eIfdGps, eTypeAscii, 172, FormatText, MakeTag},
    {65, 0x000B, eIfdGps, eTypeRational, 173, FormatRational, MakeTag},
    {66, 0x000C, eIfdGps, eTypeAscii, 174, FormatText, MakeTag},
    {67, 0x000D, eIfdGps, eTypeRational, 175, FormatRational, MakeTag},
    {68, 0x000E, eIfdGps, eTypeAscii, 176, FormatText, MakeTag},
    {69, 0x000F, eIfdGps, eTypeRational, 177, FormatRational, MakeTag},
    {70, 0x0010, eIfdGps, eTypeAscii, 178, FormatText, MakeTag},
    {71, 0x0011, eIfdGps, eTypeRational, 179, FormatRational, MakeTag},
    {72, 0x0012, eIfdGps, eTypeAscii, 180, FormatText, MakeTag},
    {73, 0x0013, eIfdGps, eTypeAscii, 181, FormatText, MakeTag},
    {74, 0x0014, eIfdGps, eTypeRational, 182, FormatRational, MakeTag},
    {75, 0x0015, eIfdGps, eTypeAscii, 183, FormatText, MakeTag},
    {76, 0x0016, eIfdGps, eTypeRational, 184, FormatRational, MakeTag},
    {77, 0x0017, eIfdGps, eTypeAscii, 185, FormatText, MakeTag},
    {78, 0x0018, eIfdGps, eTypeRational, 186, FormatRational, MakeTag},
    {79, 0x0019, eIfdGps, eTypeAscii, 187, FormatText, MakeTag},
    {80, 0x001A, eIfdGps, eTypeRational, 188, FormatRational, MakeTag},
    {81, 0x001B, eIfdGps, eTypeUndefined, 189, FormatComment, MakeTag},
    {82, 0x001C, eIfdGps, eTypeUndefined, 190, FormatComment, MakeTag},
    {83, 0x001D, eIfdGps, eTypeAscii, 191, FormatText, MakeTag},
    {84, 0x001E, eIfdGps, eTypeShort, 192, FormatShort, MakeTag},
    {85, 0x0001, eIfdInterop, eTypeAscii, 193, FormatText, MakeTag},
};
// clang-format on

// The rows by (directory, tag number) in an open-addressing table, so that finding a row takes
// one or two probes; each row is filed under its own directory only, so the same number may mean
// different tags in different directories. A repeated (directory, number) keeps its first row.
class CRowIndex
{
public:
    CRowIndex()
    {
        for (const SExifTagDef& row : kTagDefs)
        {
            const uint32_t key = Key(row.ifd, row.tag);
            size_t at = Slot(key);
            while (m_slots[at] != nullptr && Key(m_slots[at]->ifd, m_slots[at]->tag) != key)
                at = (at + 1) % kSlots;
            if (m_slots[at] == nullptr)
                m_slots[at] = &row;
        }
    }

    const SExifTagDef* Find(uint32_t ifd, uint32_t tag) const
    {
        const uint32_t key = Key(ifd, tag);
        for (size_t at = Slot(key);; at = (at + 1) % kSlots)
        {
            const SExifTagDef* row = m_slots[at];
            if (row == nullptr || (row->tag == tag && row->ifd == ifd))
                return row;
        }
    }

private:
    // A power of two well above the row count keeps the probe runs short and one slot free.
    static constexpr size_t kSlots = 256;
    static_assert(kTagIdCount < kSlots / 2);

    static uint32_t Key(uint32_t ifd, uint32_t tag) { return ifd << 16 | (tag & 0xFFFF); }
    static size_t Slot(uint32_t key) { return (key * 0x9E3779B1u) >> 24; }

    const SExifTagDef* m_slots[kSlots] = {};
};

// Built when the library is loaded, before any operation can run; read-only afterwards.
const CRowIndex g_rowIndex;

} // namespace

const SExifTagDef* GetRow(uint32_t id)
{
    return id < kTagIdCount ? &kTagDefs[id] : nullptr;
}

const SExifTagDef* FindRow(uint32_t ifd, uint32_t tag)
{
    if (ifd >= kIfdCount || tag > 0xFFFF)
        return nullptr;
    return g_rowIndex.Find(ifd, tag);
}

bool IsReadOnlyId(uint32_t id)
{
    return id == eTagJPEGInterchangeFormat || id == eTagJPEGInterchangeFormatLength ||
           id == eTagExifIFDPointer || id == eTagGPSInfoIFDPointer ||
           id == eTagInteroperabilityIFDPointer;
}

} // namespace PlExif
