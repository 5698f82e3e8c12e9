// The 27 installation languages of the stub: culture code, string-table block base and the
// language's own display name. A constant table; safe from any thread.
#pragma once

#include <string>

namespace stub
{

struct SLanguage
{
    const wchar_t* pszCulture; // lower case, as matched
    int nBlockBase;            // added to a local string id to address this language's block
    const wchar_t* pszDisplayName;
};

const SLanguage* GetLanguages(size_t& count);

// Block base of a culture code (compared after lower-casing with the C runtime's locale), or -1.
int GetLanguageBlockBase(const std::wstring& code);
// The language's own name for a culture code, or an empty text.
std::wstring GetLanguageDisplayName(const std::wstring& code);

} // namespace stub
