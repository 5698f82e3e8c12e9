#include "plcore/DialogTemplate.h"

namespace plcore
{
namespace
{

constexpr uint32_t kDsSetFont = 0x40;

class Reader
{
public:
    Reader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool U16(uint16_t& v)
    {
        if (m_size - m_pos < 2)
            return false;
        v = static_cast<uint16_t>(m_data[m_pos] | (m_data[m_pos + 1] << 8));
        m_pos += 2;
        return true;
    }
    bool Skip(size_t n)
    {
        if (m_size - m_pos < n)
            return false;
        m_pos += n;
        return true;
    }
    // A name-or-ordinal field: 0 (none), 0xFFFF followed by an ordinal, or a NUL-ended string.
    bool SzOrOrd()
    {
        uint16_t first;
        if (!U16(first))
            return false;
        if (first == 0)
            return true;
        if (first == 0xFFFF)
            return Skip(2);
        return Sz();
    }
    bool Sz()
    {
        for (uint16_t c = 1; c != 0;)
            if (!U16(c))
                return false;
        return true;
    }
    size_t Pos() const { return m_pos; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

uint32_t Le32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void PutLe16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

} // namespace

std::optional<std::vector<uint8_t>>
ReplaceDialogFont(const uint8_t* data, size_t size, const std::u16string& face, uint16_t pointSize)
{
    if (data == nullptr || size < 18)
        return std::nullopt;
    const bool extended =
        size >= 26 && data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF;
    const size_t styleOffset = extended ? 12 : 0;
    const size_t headerSize = extended ? 26 : 18;
    const uint32_t style = Le32(data + styleOffset);

    Reader r(data, size);
    if (!r.Skip(headerSize) || !r.SzOrOrd() || !r.SzOrOrd() || !r.Sz())
        return std::nullopt;
    const size_t fontStart = r.Pos();

    uint16_t weight = 0, italicCharset = 0x0100; // DEFAULT_CHARSET, not italic
    if (style & kDsSetFont)
    {
        uint16_t oldPoints;
        if (!r.U16(oldPoints))
            return std::nullopt;
        if (extended && (!r.U16(weight) || !r.U16(italicCharset)))
            return std::nullopt;
        if (!r.Sz())
            return std::nullopt;
    }
    size_t itemsStart = (r.Pos() + 3) & ~size_t{3};
    if (itemsStart > size)
        itemsStart = size; // a template without items may end unpadded

    std::vector<uint8_t> out(data, data + fontStart);
    const uint32_t newStyle = style | kDsSetFont;
    for (int i = 0; i < 4; ++i)
        out[styleOffset + i] = static_cast<uint8_t>(newStyle >> (8 * i));
    PutLe16(out, pointSize);
    if (extended)
    {
        PutLe16(out, weight);
        PutLe16(out, italicCharset);
    }
    for (char16_t c : face)
        PutLe16(out, static_cast<uint16_t>(c));
    PutLe16(out, 0);
    while (out.size() % 4 != 0)
        out.push_back(0);
    out.insert(out.end(), data + itemsStart, data + size);
    return out;
}

} // namespace plcore
