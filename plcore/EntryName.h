// Checks and conversions for the names of archive entries, which come from an untrusted archive.
// Pure functions; any thread.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace plcore
{

// The extraction reads names into a 260-byte buffer: longer names would be cut.
constexpr size_t kMaxEntryNameBytes = 259;

// General-purpose flag bit 11: the entry's name and comment are UTF-8.
constexpr unsigned kZipFlagUtf8 = 0x800;

// Strict UTF-8 to UTF-16: false for overlong forms, surrogates, code points above U+10FFFF and
// truncated sequences.
bool DecodeUtf8(std::string_view text, std::u16string& out);

// True when a file named `name` (either "/" or "\" as separator; a trailing separator marks a
// folder) lands inside the extraction folder under exactly that name: not empty, not absolute,
// no drive, no ":" (no stream), no ".." component, no component ending in "." or " ", and no
// reserved device name (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1-9, LPT1-9, the ports also with
// a superscript digit 1-3) with or without an extension.
bool IsSafeEntryName(std::u16string_view name);

} // namespace plcore
