#include "plcore/EntryName.h"

#include <cstdint>

namespace plcore
{
namespace
{

char16_t UpperAscii(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

bool IsReservedDeviceName(std::u16string_view component)
{
    // Windows resolves "NUL.txt" and "nul .log" to the device too: only the part before the first
    // dot counts, without its trailing blanks.
    std::u16string_view base = component.substr(0, component.find(u'.'));
    while (!base.empty() && base.back() == u' ')
        base.remove_suffix(1);
    std::u16string upper;
    for (char16_t c : base)
        upper.push_back(UpperAscii(c));
    if (upper == u"CON" || upper == u"PRN" || upper == u"AUX" || upper == u"NUL" ||
        upper == u"CONIN$" || upper == u"CONOUT$")
        return true;
    // Windows takes the Latin-1 superscript digits 1-3 (U+00B9, U+00B2, U+00B3) as port numbers
    // too: COM with a superscript one opens COM1.
    const auto portDigit = [](char16_t c)
    { return (c >= u'1' && c <= u'9') || c == u'\u00b9' || c == u'\u00b2' || c == u'\u00b3'; };
    return upper.size() == 4 && (upper.starts_with(u"COM") || upper.starts_with(u"LPT")) &&
           portDigit(upper[3]);
}

} // namespace

bool DecodeUtf8(std::string_view text, std::u16string& out)
{
    out.clear();
    size_t i = 0;
    while (i < text.size())
    {
        const uint8_t lead = static_cast<uint8_t>(text[i]);
        uint32_t cp = 0;
        size_t extra = 0;
        uint32_t minimum = 0;
        if (lead < 0x80)
        {
            cp = lead;
        }
        else if ((lead & 0xE0) == 0xC0)
        {
            cp = lead & 0x1F;
            extra = 1;
            minimum = 0x80;
        }
        else if ((lead & 0xF0) == 0xE0)
        {
            cp = lead & 0x0F;
            extra = 2;
            minimum = 0x800;
        }
        else if ((lead & 0xF8) == 0xF0)
        {
            cp = lead & 0x07;
            extra = 3;
            minimum = 0x10000;
        }
        else
        {
            return false;
        }
        if (extra > text.size() - i - 1)
            return false;
        for (size_t k = 1; k <= extra; ++k)
        {
            const uint8_t c = static_cast<uint8_t>(text[i + k]);
            if ((c & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        if (cp >= 0x10000)
        {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        }
        else
        {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += extra + 1;
    }
    return true;
}

bool IsSafeEntryName(std::u16string_view name)
{
    if (name.empty() || name.front() == u'/' || name.front() == u'\\')
        return false;
    if (name.find(u':') != std::u16string_view::npos || name.find(u'\0') != name.npos)
        return false;
    size_t start = 0;
    while (start < name.size())
    {
        size_t end = name.find_first_of(u"/\\", start);
        if (end == name.npos)
            end = name.size();
        const std::u16string_view component = name.substr(start, end - start);
        // An empty component ("a//b") names nothing new; Windows folds the separators.
        if (!component.empty())
        {
            if (component.back() == u'.' || component.back() == u' ')
                return false; // also "." and ".."
            if (IsReservedDeviceName(component))
                return false;
        }
        start = end + 1;
    }
    return true;
}

} // namespace plcore
