#include "stub/i18n/LocalizedString.h"

#include "stub/app/App.h"

#include <windows.h>

namespace stub
{

std::wstring LoadStringById(unsigned id)
{
    // With a zero buffer size LoadStringW hands out a pointer into the resource itself, so texts
    // of any length (the command-line help) come back whole.
    const wchar_t* pText = nullptr;
    int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&pText), 0);
    if (length <= 0 || pText == nullptr)
        return std::wstring();
    return std::wstring(pText, static_cast<size_t>(length));
}

std::wstring LoadLocalizedString(unsigned localId)
{
    return LoadStringById(localId + static_cast<unsigned>(GetApp().m_nLanguageBase));
}

} // namespace stub
