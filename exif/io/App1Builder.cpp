#include "App1Builder.h"

#include "ExifBytes.h"
#include "TiffWalker.h"

#include <cstring>

namespace PlExif
{

CApp1Builder::CApp1Builder(bool bigEndian) : m_bBigEndian(bigEndian)
{
    m_out.reserve(4096);
}

bool CApp1Builder::Room(size_t size)
{
    if (m_bOverflow || size > kMaxTotalSize - m_out.size())
        m_bOverflow = true;
    return !m_bOverflow;
}

uint8_t* CApp1Builder::Grow(size_t size)
{
    if (!Room(size))
        return nullptr;
    m_out.resize(m_out.size() + size);
    return m_out.data() + m_out.size() - size;
}

void CApp1Builder::Begin()
{
    static const uint8_t kStart[10] = {0xFF, 0xE1, 0, 0, 0x45, 0x78, 0x69, 0x66, 0x00, 0x00};
    m_out.clear();
    m_bOverflow = false;
    std::memset(m_fixups, 0, sizeof m_fixups);
    uint8_t* p = Grow(18);
    std::memcpy(p, kStart, 10);
    p[10] = p[11] = m_bBigEndian ? 'M' : 'I';
    WriteU16(p + 12, 42, m_bBigEndian);
    WriteU32(p + 14, 8, m_bBigEndian);
}

uint32_t CApp1Builder::TiffOffset() const
{
    return static_cast<uint32_t>(m_out.size() - CTiffWalker::kTiffBase);
}

size_t CApp1Builder::WriteDirectory(const SEntry* entries, size_t count)
{
    uint64_t dataSize = 0;
    for (size_t i = 0; i < count; ++i)
        if (entries[i].nValueSize > 4)
            dataSize += entries[i].nValueSize;
    const uint64_t blockSize = 2 + 12 * uint64_t(count) + 4;
    if (count > 0xFFFF || blockSize + dataSize > kMaxTotalSize || !Room(blockSize + dataSize))
    {
        m_bOverflow = true;
        return 0;
    }
    const size_t start = m_out.size();
    uint8_t* p = Grow(static_cast<size_t>(blockSize + dataSize));
    uint8_t* data = p + blockSize;
    uint32_t dataOffset = static_cast<uint32_t>(start + blockSize - CTiffWalker::kTiffBase);

    WriteU16(p, static_cast<uint16_t>(count), m_bBigEndian);
    for (size_t i = 0; i < count; ++i)
    {
        const SEntry& e = entries[i];
        uint8_t* entry = p + 2 + 12 * i;
        WriteU16(entry, e.wTag, m_bBigEndian);
        WriteU16(entry + 2, e.wType, m_bBigEndian);
        WriteU32(entry + 4, e.nCount, m_bBigEndian);
        uint8_t* field = entry + 8;
        std::memset(field, 0, 4);
        if (e.eFixup != eFixNone)
            m_fixups[e.eFixup] = static_cast<size_t>(field - m_out.data());
        else if (e.pValue && e.nValueSize > 4)
        {
            WriteU32(field, dataOffset, m_bBigEndian);
            std::memcpy(data, e.pValue, e.nValueSize);
            data += e.nValueSize;
            dataOffset += e.nValueSize;
        }
        else if (e.pValue && e.nFieldBytes > 0)
            std::memcpy(field, e.pValue, e.nFieldBytes > 4 ? 4 : e.nFieldBytes);
    }
    // The next field stays 0; its position is handed back for IFD0.
    return start + 2 + 12 * count;
}

void CApp1Builder::Fill(EFixup fixup, uint32_t offset)
{
    if (!m_fixups[fixup])
        return;
    WriteU32(m_out.data() + m_fixups[fixup], offset, m_bBigEndian);
    m_fixups[fixup] = 0;
}

void CApp1Builder::Patch(size_t position, uint32_t offset)
{
    if (!m_bOverflow && position + 4 <= m_out.size())
        WriteU32(m_out.data() + position, offset, m_bBigEndian);
}

void CApp1Builder::Append(const uint8_t* data, size_t size)
{
    if (size == 0)
        return;
    if (uint8_t* p = Grow(size))
        std::memcpy(p, data, size);
}

bool CApp1Builder::Finish()
{
    if (m_bOverflow || m_out.size() < 18)
        return false;
    WriteU16BE(m_out.data() + 2, static_cast<uint16_t>(m_out.size() - 2));
    return true;
}

} // namespace PlExif
