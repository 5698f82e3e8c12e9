// PlString.cpp - portable UTF-8, UTF-16 and Windows-1252 conversions.

#include "osal/PlString.h"

#include <cstring>
#include <type_traits>

namespace PlOSAL
{

namespace
{

// Windows-1252 bytes 0x80 to 0x9F; the unassigned bytes keep their C1 control value.
const char16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                  0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendCodePoint(PlWString& out, char32_t cp)
{
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
}

// Decodes one UTF-8 sequence at bytes[pos]; answers its length, 0 when malformed.
size_t DecodeUtf8(const uint8_t* bytes, size_t length, size_t pos, char32_t& cp)
{
    const uint8_t lead = bytes[pos];
    size_t need;
    char32_t min;
    if (lead < 0x80)
    {
        cp = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF)
    {
        need = 1;
        min = 0x80;
        cp = lead & 0x1F;
    }
    else if (lead >= 0xE0 && lead <= 0xEF)
    {
        need = 2;
        min = 0x800;
        cp = lead & 0x0F;
    }
    else if (lead >= 0xF0 && lead <= 0xF4)
    {
        need = 3;
        min = 0x10000;
        cp = lead & 0x07;
    }
    else
    {
        return 0;
    }
    if (length - pos <= need)
        return 0;
    for (size_t i = 1; i <= need; ++i)
    {
        const uint8_t b = bytes[pos + i];
        if ((b & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return need + 1;
}

} // namespace

PlWString FromWide(const wchar_t* text)
{
    PlWString out;
    if (text == nullptr)
        return out;
    for (; *text != 0; ++text)
    {
        const auto unit = static_cast<uint32_t>(static_cast<std::make_unsigned_t<wchar_t>>(*text));
        AppendCodePoint(out, unit > 0x10FFFF ? char32_t(0xFFFD) : char32_t(unit));
    }
    return out;
}

std::wstring ToWide(const PlWString& text)
{
    return std::wstring(text.begin(), text.end());
}

PlWString FromUtf8(const char* text, size_t length)
{
    PlWString out;
    // Never more UTF-16 units than bytes.
    out.reserve(length);
    const auto* bytes = reinterpret_cast<const uint8_t*>(text);
    size_t pos = 0;
    while (pos < length)
    {
        if (bytes[pos] < 0x80)
        {
            out.push_back(bytes[pos++]);
            continue;
        }
        char32_t cp = 0;
        const size_t n = DecodeUtf8(bytes, length, pos, cp);
        if (n == 0)
        {
            out.push_back(u'\xFFFD');
            ++pos;
            continue;
        }
        AppendCodePoint(out, cp);
        pos += n;
    }
    return out;
}

std::string ToUtf8(const PlWString& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i)
    {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF)
        {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        else if (cp >= 0xD800 && cp <= 0xDFFF)
        {
            cp = 0xFFFD;
        }
        if (cp < 0x80)
        {
            out.push_back(static_cast<char>(cp));
        }
        else if (cp < 0x800)
        {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
        else if (cp < 0x10000)
        {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
        else
        {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

bool IsValidUtf8(const uint8_t* bytes, size_t length)
{
    size_t pos = 0;
    while (pos < length)
    {
        char32_t cp = 0;
        const size_t n = DecodeUtf8(bytes, length, pos, cp);
        if (n == 0)
            return false;
        pos += n;
    }
    return true;
}

PlWString FromWindows1252(const uint8_t* bytes, size_t length)
{
    PlWString out;
    out.reserve(length);
    for (size_t i = 0; i < length; ++i)
    {
        const uint8_t b = bytes[i];
        out.push_back(b >= 0x80 && b <= 0x9F ? kCp1252High[b - 0x80] : char16_t(b));
    }
    return out;
}

bool ToWindows1252(const PlWString& text, std::string& out)
{
    out.clear();
    for (char16_t unit : text)
    {
        if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF))
        {
            out.push_back(static_cast<char>(unit));
            continue;
        }
        bool found = false;
        for (int i = 0; i < 32; ++i)
        {
            if (kCp1252High[i] == unit)
            {
                out.push_back(static_cast<char>(0x80 + i));
                found = true;
                break;
            }
        }
        if (!found)
            return false;
    }
    return true;
}

PlWString FromAscii(const char* text)
{
    PlWString out;
    if (text != nullptr)
        out.reserve(std::strlen(text));
    for (; text != nullptr && *text != 0; ++text)
        out.push_back(static_cast<unsigned char>(*text));
    return out;
}

} // namespace PlOSAL
