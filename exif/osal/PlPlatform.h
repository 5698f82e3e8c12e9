// PlPlatform.h - the operating-system services the library relies on beyond files: code-page
// conversion, date and time display in the user's locale, the user's language and the module.
// Each has a Windows side (osal/win) and a POSIX side (osal/posix). Callable from any thread.
#pragma once

#include "osal/PlString.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace PlOSAL
{

// A calendar date and time with the eight 16-bit fields of the Windows date record.
struct SPlDateTime
{
    uint16_t wYear = 0;
    uint16_t wMonth = 0;
    uint16_t wDayOfWeek = 0;
    uint16_t wDay = 0;
    uint16_t wHour = 0;
    uint16_t wMinute = 0;
    uint16_t wSecond = 0;
    uint16_t wMilliseconds = 0;
};

// Converts with a platform code page (0 is the ANSI code page); false when the platform cannot.
bool WideToCodePage(const PlWString& text, uint32_t codePage, std::string& out);

// Formats the date (elements d, M, y, quoted literals) or the time (h, H, m, s, t, quoted
// literals) of when with a picture pattern in the user's default locale. False, with out
// emptied, when the date or time is not valid or the text and its terminator need more than
// room characters.
bool FormatLocaleDate(const SPlDateTime& when, const PlWString& pattern, size_t room,
                      PlWString& out);
bool FormatLocaleTime(const SPlDateTime& when, const PlWString& pattern, size_t room,
                      PlWString& out);

// The Windows language identifier of the user's interface language, or 0 when it is not known.
uint16_t UserLanguage();

// The library's own module (Windows: its module handle, recorded when it is loaded).
void* LibraryModule();

} // namespace PlOSAL
