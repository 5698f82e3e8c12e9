// PlString.h - the library's wide text type (UTF-16 code units) and its conversions from and to
// client wide strings, UTF-8, Windows-1252 and the 8-bit texts found in EXIF files.
// Plain functions without shared state: callable from any thread.
#pragma once

#include "osal/PlTextStorage.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace PlOSAL
{

// Texts inside the library are UTF-16 on every platform, so that lengths and the bytes written
// for a user comment do not depend on the size of wchar_t. Their blocks come from the text
// storage pools.
using PlWString =
    std::basic_string<char16_t, std::char_traits<char16_t>, CPlTextAllocator<char16_t>>;

// A client's wide text as UTF-16. On Windows wchar_t already is a UTF-16 unit; on Linux a code
// point above U+FFFF becomes a surrogate pair. A null text gives an empty text.
PlWString FromWide(const wchar_t* text);

// The text as the client's wide characters: one wchar_t per UTF-16 code unit on every platform,
// so that a length in characters means the same on Windows and Linux.
std::wstring ToWide(const PlWString& text);

// UTF-8 to UTF-16; a malformed sequence becomes U+FFFD.
PlWString FromUtf8(const char* text, size_t length);
inline PlWString FromUtf8(const std::string& text)
{
    return FromUtf8(text.data(), text.size());
}
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(const PlWString& text);

bool IsValidUtf8(const uint8_t* bytes, size_t length);

// Windows-1252 to UTF-16 (the five unassigned bytes map to the C1 controls of the same number).
PlWString FromWindows1252(const uint8_t* bytes, size_t length);
// UTF-16 to Windows-1252; false when a character has no byte in the code page.
bool ToWindows1252(const PlWString& text, std::string& out);

// The 8-bit text of a file in the system's ANSI code page: the platform's ANSI code page on
// Windows; on Linux UTF-8 where the bytes are valid UTF-8 and Windows-1252 otherwise.
PlWString FromAnsi(const uint8_t* bytes, size_t length);

// An ASCII literal as a wide text.
PlWString FromAscii(const char* text);

} // namespace PlOSAL
