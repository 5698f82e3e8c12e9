#include "plcore/PeImage.h"

#include "plcore/ByteOrder.h"

#include <algorithm>

namespace plcore
{
namespace
{

constexpr uint32_t kOptionalHeader = 24; // from the PE signature
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint32_t kMaxDirectories = 16;
constexpr size_t kSectionHeaderSize = 40;

char16_t FoldAscii(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

} // namespace

bool ResourceKeyEquals(const PeResourceKey& a, const PeResourceKey& b)
{
    if (a.name.empty() || b.name.empty())
        return a.name.empty() && b.name.empty() && a.id == b.id;
    if (a.name.size() != b.name.size())
        return false;
    for (size_t i = 0; i < a.name.size(); ++i)
    {
        if (FoldAscii(a.name[i]) != FoldAscii(b.name[i]))
            return false;
    }
    return true;
}

PeError CPeImage::Parse(std::span<const uint8_t> image)
{
    *this = CPeImage();
    m_image = image;
    const uint64_t size = image.size();
    const uint8_t* p = image.data();
    if (size < 2 || p[0] != 'M' || p[1] != 'Z')
        return PeError::NotExe;
    if (size < 64)
        return PeError::BadPeSignature;
    m_nPeOffset = ReadLe32(p + 60);
    if (!InRange(size, m_nPeOffset, 4) || ReadLe32(p + m_nPeOffset) != 0x00004550)
        return PeError::BadPeSignature;

    const uint64_t fileHeader = uint64_t{m_nPeOffset} + 4;
    const uint64_t optional = uint64_t{m_nPeOffset} + kOptionalHeader;
    if (!InRange(size, fileHeader, 20))
        return PeError::NotPe32;
    m_nMachine = ReadLe16(p + fileHeader);
    const uint16_t sectionCount = ReadLe16(p + fileHeader + 2);
    const uint16_t optionalSize = ReadLe16(p + fileHeader + 16);
    if (optionalSize < 96 || !InRange(size, optional, optionalSize) ||
        ReadLe16(p + optional) != kPe32Magic)
        return PeError::NotPe32;
    m_nSizeOfHeaders = ReadLe32(p + optional + 60);
    m_nCheckSum = ReadLe32(p + optional + 64);
    m_nSubsystem = ReadLe16(p + optional + 68);
    uint32_t directoryCount = ReadLe32(p + optional + 92);
    if (directoryCount > kMaxDirectories)
        directoryCount = kMaxDirectories;
    if (directoryCount > (optionalSize - 96u) / 8u)
        directoryCount = (optionalSize - 96u) / 8u;
    for (uint32_t i = 0; i < directoryCount; ++i)
    {
        const uint8_t* d = p + optional + 96 + 8 * i;
        m_directories.push_back({ReadLe32(d), ReadLe32(d + 4)});
    }

    const uint64_t sectionTable = optional + optionalSize;
    if (!InRange(size, sectionTable, uint64_t{sectionCount} * kSectionHeaderSize))
        return PeError::NotPe32;
    m_nImageEnd = std::min<uint64_t>(m_nSizeOfHeaders, size);
    if (m_nImageEnd < sectionTable + uint64_t{sectionCount} * kSectionHeaderSize)
        m_nImageEnd = sectionTable + uint64_t{sectionCount} * kSectionHeaderSize;
    for (uint16_t i = 0; i < sectionCount; ++i)
    {
        const uint8_t* s = p + sectionTable + kSectionHeaderSize * i;
        PeSection section;
        size_t nameLength = 0;
        while (nameLength < 8 && s[nameLength] != 0)
            ++nameLength;
        section.name.assign(reinterpret_cast<const char*>(s), nameLength);
        section.virtualSize = ReadLe32(s + 8);
        section.virtualAddress = ReadLe32(s + 12);
        section.rawSize = ReadLe32(s + 16);
        section.rawOffset = ReadLe32(s + 20);
        if (section.rawSize != 0)
            m_nImageEnd = std::max(m_nImageEnd, uint64_t{section.rawOffset} + section.rawSize);
        m_sections.push_back(section);
    }

    const PeDataDirectory rsrc = DataDirectory(kDirectoryResource);
    if (rsrc.address != 0 && rsrc.size != 0)
    {
        // The tree may use all of its section, whatever the directory's size says.
        for (const PeSection& s : m_sections)
        {
            if (rsrc.address >= s.virtualAddress && rsrc.address - s.virtualAddress < s.rawSize)
            {
                const uint64_t start = uint64_t{s.rawOffset} + (rsrc.address - s.virtualAddress);
                const uint64_t end = std::min<uint64_t>(uint64_t{s.rawOffset} + s.rawSize, size);
                if (start < end)
                    m_resources = image.subspan(start, end - start);
                break;
            }
        }
    }
    return PeError::None;
}

PeDataDirectory CPeImage::DataDirectory(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_directories.size())
        return {};
    return m_directories[index];
}

std::optional<uint64_t> CPeImage::RvaToOffset(uint32_t rva, uint32_t size) const
{
    if (uint64_t{rva} + size <= m_nSizeOfHeaders)
        return InRange(m_image.size(), rva, size) ? std::optional<uint64_t>(rva) : std::nullopt;
    for (const PeSection& s : m_sections)
    {
        if (rva < s.virtualAddress)
            continue;
        const uint64_t within = rva - s.virtualAddress;
        if (!InRange(s.rawSize, within, size))
            continue;
        const uint64_t offset = s.rawOffset + within;
        if (InRange(m_image.size(), offset, size))
            return offset;
    }
    return std::nullopt;
}

bool CPeImage::ReadDirectory(uint32_t offset, std::vector<DirEntry>& entries) const
{
    entries.clear();
    const uint64_t size = m_resources.size();
    const uint8_t* p = m_resources.data();
    if (!InRange(size, offset, 16))
        return false;
    const uint32_t count = uint32_t{ReadLe16(p + offset + 12)} + ReadLe16(p + offset + 14);
    if (!InRange(size, uint64_t{offset} + 16, uint64_t{count} * 8))
        return false;
    for (uint32_t i = 0; i < count; ++i)
    {
        const uint8_t* e = p + offset + 16 + 8 * i;
        const uint32_t name = ReadLe32(e);
        const uint32_t data = ReadLe32(e + 4);
        DirEntry entry;
        if (name & 0x80000000u)
        {
            const uint32_t at = name & 0x7FFFFFFFu;
            if (!InRange(size, at, 2))
                continue;
            const uint16_t length = ReadLe16(p + at);
            if (length == 0 || !InRange(size, uint64_t{at} + 2, uint64_t{length} * 2))
                continue;
            for (uint16_t c = 0; c < length; ++c)
                entry.key.name.push_back(static_cast<char16_t>(ReadLe16(p + at + 2 + 2 * c)));
        }
        else
        {
            entry.key.id = static_cast<uint16_t>(name);
        }
        entry.isDirectory = (data & 0x80000000u) != 0;
        entry.target = data & 0x7FFFFFFFu;
        entries.push_back(std::move(entry));
    }
    return true;
}

const CPeImage::DirEntry* CPeImage::Find(const std::vector<DirEntry>& entries,
                                         const PeResourceKey& key) const
{
    for (const DirEntry& e : entries)
    {
        if (ResourceKeyEquals(e.key, key))
            return &e;
    }
    return nullptr;
}

std::optional<uint32_t> CPeImage::SubDirectory(const PeResourceKey& type) const
{
    std::vector<DirEntry> types;
    if (m_resources.empty() || !ReadDirectory(0, types))
        return std::nullopt;
    const DirEntry* t = Find(types, type);
    if (t == nullptr || !t->isDirectory)
        return std::nullopt;
    return t->target;
}

std::optional<PeResourceData> CPeImage::FindResourceData(const PeResourceKey& type,
                                                         const PeResourceKey& name) const
{
    const std::optional<uint32_t> typeDir = SubDirectory(type);
    std::vector<DirEntry> entries;
    if (!typeDir || !ReadDirectory(*typeDir, entries))
        return std::nullopt;
    const DirEntry* n = Find(entries, name);
    if (n == nullptr || !n->isDirectory || !ReadDirectory(n->target, entries) || entries.empty())
        return std::nullopt;
    const DirEntry& language = entries.front();
    if (language.isDirectory || !InRange(m_resources.size(), language.target, 16))
        return std::nullopt;
    const uint8_t* d = m_resources.data() + language.target;
    const uint32_t rva = ReadLe32(d);
    const uint32_t size = ReadLe32(d + 4);
    const std::optional<uint64_t> offset = RvaToOffset(rva, size);
    if (!offset)
        return std::nullopt;
    return PeResourceData{*offset, size};
}

std::vector<PeResourceKey> CPeImage::ResourceNames(const PeResourceKey& type) const
{
    std::vector<PeResourceKey> names;
    const std::optional<uint32_t> typeDir = SubDirectory(type);
    std::vector<DirEntry> entries;
    if (typeDir && ReadDirectory(*typeDir, entries))
    {
        for (DirEntry& e : entries)
            names.push_back(std::move(e.key));
    }
    return names;
}

} // namespace plcore
