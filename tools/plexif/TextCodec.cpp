#include "TextCodec.h"

#include <cstdint>

namespace plexif
{

std::wstring Utf8ToWide(const std::string& text)
{
    std::wstring out;
    for (size_t i = 0; i < text.size();)
    {
        const auto b = static_cast<unsigned char>(text[i]);
        uint32_t c = 0xFFFD;
        size_t len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        bool ok = len > 0 && i + len <= text.size();
        if (ok)
        {
            c = len == 1 ? b : b & (0x7F >> len);
            for (size_t k = 1; k < len; ++k)
            {
                const auto t = static_cast<unsigned char>(text[i + k]);
                ok = ok && (t >> 6) == 2;
                c = (c << 6) | (t & 0x3F);
            }
        }
        if (!ok || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        {
            c = 0xFFFD;
            len = 1;
        }
        i += len;
        if (c >= 0x10000)
        {
            out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
        else
            out += static_cast<wchar_t>(c);
    }
    return out;
}

std::string WideToUtf8(const std::wstring& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i)
    {
        uint32_t c = static_cast<uint32_t>(text[i]) & 0x1FFFFF;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<uint32_t>(text[++i]) - 0xDC00);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            c = 0xFFFD;
        if (c < 0x80)
            out += static_cast<char>(c);
        else if (c < 0x800)
            out += {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
        else if (c < 0x10000)
            out +=
                {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                 static_cast<char>(0x80 | (c & 0x3F))};
        else
            out +=
                {static_cast<char>(0xF0 | (c >> 18)), static_cast<char>(0x80 | ((c >> 12) & 0x3F)),
                 static_cast<char>(0x80 | ((c >> 6) & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
    }
    return out;
}

} // namespace plexif
