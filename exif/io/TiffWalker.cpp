#include "TiffWalker.h"

#include <cstring>

namespace PlExif
{

namespace
{
const uint8_t kExifIdentifier[6] = {0x45, 0x78, 0x69, 0x66, 0x00, 0x00};
}

bool CTiffWalker::Contains(uint64_t pos, uint64_t size) const
{
    return SpanInside(pos, size, m_nSize);
}

uint32_t CTiffWalker::U32At(size_t pos) const
{
    return ReadU32(m_pApp1 + pos, m_bBigEndian);
}

bool CTiffWalker::HasExifIdentifier() const
{
    return Contains(4, 6) && std::memcmp(m_pApp1 + 4, kExifIdentifier, 6) == 0;
}

bool CTiffWalker::ReadHeader()
{
    if (!Contains(kTiffBase, 8))
        return false;
    const uint8_t* h = m_pApp1 + kTiffBase;
    if (h[0] == 'I' && h[1] == 'I')
        m_bBigEndian = false;
    else if (h[0] == 'M' && h[1] == 'M')
        m_bBigEndian = true;
    else
        return false;
    if (ReadU16(h + 2, m_bBigEndian) != 42)
        return false;
    m_nIfd0Offset = ReadU32(h + 4, m_bBigEndian);
    return true;
}

bool CTiffWalker::OpenDirectory(uint32_t offset, uint16_t& count) const
{
    const uint64_t pos = kTiffBase + uint64_t(offset);
    if (offset < 8 || !Contains(pos, 2))
        return false;
    count = ReadU16(m_pApp1 + pos, m_bBigEndian);
    return count <= kMaxEntries && Contains(pos + 2 + 12 * uint64_t(count), 4);
}

STiffEntry CTiffWalker::Entry(uint32_t offset, uint16_t index) const
{
    STiffEntry e;
    e.nEntryPos = static_cast<size_t>(kTiffBase + uint64_t(offset) + 2 + 12 * uint64_t(index));
    const uint8_t* p = m_pApp1 + e.nEntryPos;
    e.wTag = ReadU16(p, m_bBigEndian);
    e.wType = ReadU16(p + 2, m_bBigEndian);
    e.nCount = ReadU32(p + 4, m_bBigEndian);
    e.nValuePos = ValuePos(e.nEntryPos, e.wType, e.nCount);
    return e;
}

uint64_t CTiffWalker::ValuePos(size_t entryPos, uint32_t type, uint32_t count) const
{
    if (ValueSize(type, count) <= 4)
        return entryPos + 8;
    return kTiffBase + uint64_t(ReadU32(m_pApp1 + entryPos + 8, m_bBigEndian));
}

bool CTiffWalker::NextDirectory(uint32_t offset, uint16_t count, uint32_t& next) const
{
    next = ReadU32(m_pApp1 + kTiffBase + uint64_t(offset) + 2 + 12 * uint64_t(count), m_bBigEndian);
    if (next != 0 && !Contains(kTiffBase + uint64_t(next), 2))
    {
        next = 0;
        return false;
    }
    return true;
}

} // namespace PlExif
