// CVersionBlock: reads the translation and the string values of a version resource block
// (VS_VERSIONINFO with StringFileInfo and VarFileInfo) held in memory. Portable; never reads
// outside the buffer. One object per thread; the buffer must outlive the object.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace plcore
{

// A string value of the block: its text (up to the first NUL) and where it is stored.
struct VersionString
{
    std::u16string text;
    size_t valueOffset = 0; // from the start of the block
    size_t capacity = 0;    // UTF-16 units stored for the value, its terminating NUL included
};

class CVersionBlock
{
public:
    // False when the block has no VS_VERSION_INFO root node.
    bool Parse(std::span<const uint8_t> block);

    // The first entry of \VarFileInfo\Translation with its halves swapped: language in the high
    // 16 bits, code page in the low 16 bits. 0 when there is no such value.
    uint32_t Translation() const;

    // \StringFileInfo\<translation as %08X>\<key>; the table name and the key compare ignoring
    // the case of ASCII letters.
    std::optional<VersionString> FindString(uint32_t translation, std::u16string_view key) const;

    // The eight upper-case hexadecimal digits that name the string table of `translation`.
    static std::u16string TableName(uint32_t translation);

private:
    struct Node
    {
        size_t offset = 0;
        size_t end = 0;
        size_t valueOffset = 0;
        size_t valueEnd = 0;
        size_t childrenOffset = 0;
        std::u16string key;
    };
    // The node at `offset` that must end by `limit`.
    std::optional<Node> ReadNode(size_t offset, size_t limit) const;
    std::optional<Node> FindChild(const Node& parent, std::u16string_view key) const;

    std::span<const uint8_t> m_block;
    std::optional<Node> m_root;
};

} // namespace plcore
