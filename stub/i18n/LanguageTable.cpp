#include "stub/i18n/LanguageTable.h"

#include <cwctype>
#include <iterator>

namespace stub
{
namespace
{

const SLanguage kLanguages[] = {
    {L"cs-cz", 2000, L"Čeština (Česká republika)"},
    {L"da-dk", 3000, L"Dansk (Danmark)"},
    {L"de-de", 4000, L"Deutsch (Deutschland)"},
    {L"el-gr", 5000, L"Ελληνικά (Ελλάδα)"},
    {L"en-ca", 6000, L"English (Canada)"},
    {L"en-gb", 7000, L"English (United Kingdom)"},
    {L"en-us", 1000, L"English (United States)"},
    {L"en-ii", 0, L"English (international)"},
    {L"es-es", 8000, L"Español (España)"},
    {L"es-us", 26000, L"Español (Estados Unidos)"},
    {L"fi-fi", 9000, L"Suomi (Suomi)"},
    {L"fr-ca", 10000, L"Français (Canada)"},
    {L"fr-fr", 11000, L"Français (France)"},
    {L"hu-hu", 25000, L"Magyar (Magyarország)"},
    {L"it-it", 12000, L"Italiano (Italia)"},
    {L"ja-jp", 13000, L"日本語 (日本)"},
    {L"ko-kr", 14000, L"한국어 (대한민국)"},
    {L"nb-no", 15000, L"Norsk, bokmål (Norge)"},
    {L"nl-nl", 16000, L"Nederlands (Nederland)"},
    {L"pl-pl", 17000, L"Polski (Polska)"},
    {L"pt-pt", 18000, L"Português (Portugal)"},
    // The name starts with a Latin capital P (U+0050), as the product has always shown it.
    {L"ru-ru", 19000, L"Pусский (Россия)"},
    {L"sl-si", 20000, L"Slovenski (Slovenija)"},
    {L"sv-se", 21000, L"Svenska (Sverige)"},
    {L"tr-tr", 24000, L"Türkçe (Türkiye)"},
    {L"zh-cn", 22000, L"中文(简体)"},
    {L"zh-tw", 23000, L"中文(繁體)"},
};

const SLanguage* Find(const std::wstring& code)
{
    std::wstring lower = code;
    for (wchar_t& c : lower)
        c = static_cast<wchar_t>(std::towlower(c));
    for (const SLanguage& language : kLanguages)
        if (lower == language.pszCulture)
            return &language;
    return nullptr;
}

} // namespace

const SLanguage* GetLanguages(size_t& count)
{
    count = std::size(kLanguages);
    return kLanguages;
}

int GetLanguageBlockBase(const std::wstring& code)
{
    const SLanguage* language = Find(code);
    return language != nullptr ? language->nBlockBase : -1;
}

std::wstring GetLanguageDisplayName(const std::wstring& code)
{
    const SLanguage* language = Find(code);
    return language != nullptr ? language->pszDisplayName : L"";
}

} // namespace stub
