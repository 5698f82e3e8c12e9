// PlPlatformPosix.cpp - the POSIX side of the OS layer: code pages, the user's language and date
// display from the C library's locale data.

#include "osal/PlDatePicture.h"
#include "osal/PlPlatform.h"

#include <cstdlib>
#include <cstring>
#include <langinfo.h>
#include <locale.h>

extern char** environ;

namespace PlOSAL
{

namespace
{

PlWString FromLocaleText(const char* text, bool utf8)
{
    if (text == nullptr)
        return {};
    const auto* bytes = reinterpret_cast<const uint8_t*>(text);
    const size_t length = std::strlen(text);
    if (utf8 || IsValidUtf8(bytes, length))
        return FromUtf8(text, length);
    return FromWindows1252(bytes, length);
}

// Day and month names of the user's default locale (LC_TIME of the environment), read once.
const SPlLocaleNames& UserLocaleNames()
{
    static const SPlLocaleNames names = []
    {
        SPlLocaleNames n = CLocaleNames();
        locale_t loc = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, "", static_cast<locale_t>(0));
        if (loc == static_cast<locale_t>(0))
            return n;
        const char* codeset = nl_langinfo_l(CODESET, loc);
        const bool utf8 = codeset != nullptr &&
                          (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
        for (int i = 0; i < 7; ++i)
        {
            n.days[i] = FromLocaleText(nl_langinfo_l(DAY_1 + i, loc), utf8);
            n.abbrevDays[i] = FromLocaleText(nl_langinfo_l(ABDAY_1 + i, loc), utf8);
        }
        for (int i = 0; i < 12; ++i)
        {
            n.months[i] = FromLocaleText(nl_langinfo_l(MON_1 + i, loc), utf8);
            n.abbrevMonths[i] = FromLocaleText(nl_langinfo_l(ABMON_1 + i, loc), utf8);
        }
        n.am = FromLocaleText(nl_langinfo_l(AM_STR, loc), utf8);
        n.pm = FromLocaleText(nl_langinfo_l(PM_STR, loc), utf8);
        freelocale(loc);
        return n;
    }();
    return names;
}

bool StartsWith(const char* text, const char* prefix)
{
    for (; *prefix != 0; ++text, ++prefix)
    {
        if (*text != *prefix)
            return false;
    }
    return true;
}

} // namespace

PlWString FromAnsi(const uint8_t* bytes, size_t length)
{
    if (IsValidUtf8(bytes, length))
        return FromUtf8(reinterpret_cast<const char*>(bytes), length);
    return FromWindows1252(bytes, length);
}

bool WideToCodePage(const PlWString& text, uint32_t codePage, std::string& out)
{
    switch (codePage)
    {
    case 0:     // the ANSI code page, UTF-8 on Linux
    case 65001: // UTF-8
        out = ToUtf8(text);
        return true;
    case 1252:
        return ToWindows1252(text, out);
    default:
        return false;
    }
}

bool FormatLocaleDate(const SPlDateTime& when, const PlWString& pattern, size_t room,
                      PlWString& out)
{
    return FormatDatePicture(when, pattern, UserLocaleNames(), room, out);
}

bool FormatLocaleTime(const SPlDateTime& when, const PlWString& pattern, size_t room,
                      PlWString& out)
{
    return FormatTimePicture(when, pattern, UserLocaleNames(), room, out);
}

uint16_t UserLanguage()
{
    // The same order of precedence as the C library's message catalogues: LC_ALL, LC_MESSAGES,
    // LANG, an empty one counting as unset. One pass over the environment finds all three (the
    // first entry of a name, as getenv answers), since this runs for every text looked up.
    static const char* const kVars[] = {"LC_ALL=", "LC_MESSAGES=", "LANG="};
    static const size_t kLengths[] = {7, 12, 5};
    const char* found[3] = {nullptr, nullptr, nullptr};
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry)
    {
        if ((*entry)[0] != 'L')
            continue;
        for (int i = 0; i < 3; ++i)
        {
            if (found[i] == nullptr && StartsWith(*entry, kVars[i]))
                found[i] = *entry + kLengths[i];
        }
    }
    const char* value = nullptr;
    for (const char* candidate : found)
    {
        if (candidate != nullptr && *candidate != 0)
        {
            value = candidate;
            break;
        }
    }
    if (value == nullptr || std::strlen(value) < 2)
        return 0;
    struct SPrimary
    {
        const char* code;
        uint16_t primary;
    };
    static const SPrimary kPrimaries[] = {{"de", 0x07}, {"en", 0x09}, {"es", 0x0A},
                                          {"fr", 0x0C}, {"it", 0x10}, {"nl", 0x13}};
    for (const SPrimary& p : kPrimaries)
    {
        if (std::strncmp(value, p.code, 2) == 0 &&
            (value[2] == 0 || value[2] == '_' || value[2] == '.' || value[2] == '@'))
            return static_cast<uint16_t>(0x0400 | p.primary);
    }
    return 0;
}

void* LibraryModule()
{
    return nullptr;
}

} // namespace PlOSAL
