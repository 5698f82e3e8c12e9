// VerifySetupFile: the start-up check that the setup file on disk is whole (neither truncated
// nor extended). Returns an empty text when it is, else the localized message. Shows nothing and
// never throws. Main thread (it reads the current language).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace stub
{

// Loads a text of the stub's string table by its local id, in the current language.
using SetupTextLoader = std::function<std::wstring(unsigned)>;
// Reads the RCDATA resource `name` of the module file `path`; false when it cannot.
using SetupResourceReader =
    std::function<bool(const std::wstring& path, const wchar_t* name, std::vector<uint8_t>& bytes)>;

// `path` is the stub's own file. Texts come from the string table in the current language and
// _PLN_VERIFY from the file on disk.
std::wstring VerifySetupFile(const std::wstring& path);

// The same over other sources of texts and resources (tests).
std::wstring VerifySetupFile(const std::wstring& path, const SetupTextLoader& loadText,
                             const SetupResourceReader& readResource);

} // namespace stub
