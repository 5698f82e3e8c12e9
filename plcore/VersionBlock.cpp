#include "plcore/VersionBlock.h"

#include "plcore/ByteOrder.h"

#include <algorithm>

namespace plcore
{
namespace
{

size_t Align4(size_t n)
{
    return (n + 3) & ~size_t{3};
}

bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
    {
        char16_t x = a[i];
        char16_t y = b[i];
        if (x >= u'a' && x <= u'z')
            x = static_cast<char16_t>(x - 32);
        if (y >= u'a' && y <= u'z')
            y = static_cast<char16_t>(y - 32);
        if (x != y)
            return false;
    }
    return true;
}

} // namespace

bool CVersionBlock::Parse(std::span<const uint8_t> block)
{
    m_block = block;
    m_root = ReadNode(0, block.size());
    if (m_root && m_root->key != u"VS_VERSION_INFO")
        m_root.reset();
    return m_root.has_value();
}

std::optional<CVersionBlock::Node> CVersionBlock::ReadNode(size_t offset, size_t limit) const
{
    // wLength, wValueLength, wType, then the NUL-terminated key, each part 32-bit aligned.
    if (!InRange(limit, offset, 6))
        return std::nullopt;
    const uint8_t* p = m_block.data();
    const size_t length = ReadLe16(p + offset);
    const size_t valueLength = ReadLe16(p + offset + 2);
    const uint16_t type = ReadLe16(p + offset + 4);
    if (length < 6 || !InRange(limit, offset, length))
        return std::nullopt;
    Node node;
    node.offset = offset;
    node.end = offset + length;
    size_t at = offset + 6;
    for (;;)
    {
        if (at + 2 > node.end)
            return std::nullopt;
        const char16_t c = ReadLe16(p + at);
        at += 2;
        if (c == 0)
            break;
        node.key.push_back(c);
    }
    node.valueOffset = std::min(Align4(at), node.end);
    // Text values count UTF-16 units, binary ones bytes; tools disagree, so never trust the
    // count beyond the node's end.
    const size_t valueBytes = type == 1 ? valueLength * 2 : valueLength;
    node.valueEnd = std::min(node.valueOffset + valueBytes, node.end);
    node.childrenOffset = std::min(Align4(node.valueEnd), node.end);
    return node;
}

std::optional<CVersionBlock::Node> CVersionBlock::FindChild(const Node& parent,
                                                            std::u16string_view key) const
{
    size_t at = parent.childrenOffset;
    while (at + 6 <= parent.end)
    {
        const std::optional<Node> child = ReadNode(at, parent.end);
        if (!child)
            return std::nullopt;
        if (EqualsIgnoringAsciiCase(child->key, key))
            return child;
        at = Align4(child->end);
    }
    return std::nullopt;
}

uint32_t CVersionBlock::Translation() const
{
    if (!m_root)
        return 0;
    const std::optional<Node> var = FindChild(*m_root, u"VarFileInfo");
    const std::optional<Node> translation = var ? FindChild(*var, u"Translation") : std::nullopt;
    if (!translation || translation->valueEnd - translation->valueOffset < 4)
        return 0;
    const uint32_t stored = ReadLe32(m_block.data() + translation->valueOffset);
    return (stored << 16) | (stored >> 16);
}

std::u16string CVersionBlock::TableName(uint32_t translation)
{
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    std::u16string name(8, u'0');
    for (int i = 7; i >= 0; --i, translation >>= 4)
        name[i] = kDigits[translation & 0xF];
    return name;
}

std::optional<VersionString> CVersionBlock::FindString(uint32_t translation,
                                                       std::u16string_view key) const
{
    if (!m_root)
        return std::nullopt;
    const std::optional<Node> files = FindChild(*m_root, u"StringFileInfo");
    const std::optional<Node> table =
        files ? FindChild(*files, TableName(translation)) : std::nullopt;
    const std::optional<Node> value = table ? FindChild(*table, key) : std::nullopt;
    if (!value)
        return std::nullopt;
    VersionString result;
    result.valueOffset = value->valueOffset;
    // The value may be padded with NULs beyond its declared length; all of it up to the node's
    // end is room for a longer text.
    result.capacity = (value->end - value->valueOffset) / 2;
    for (size_t i = 0; i < result.capacity; ++i)
    {
        const char16_t c = ReadLe16(m_block.data() + value->valueOffset + 2 * i);
        if (c == 0)
            break;
        result.text.push_back(c);
    }
    return result;
}

} // namespace plcore
