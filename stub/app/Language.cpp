#include "stub/app/App.h"

#include "stub/i18n/LanguageTable.h"

void CApp::SetLanguageFromCulture(const std::wstring& culture)
{
    int nBase = stub::GetLanguageBlockBase(culture);
    if (nBase == -1)
        return;
    m_nLanguageBase = nBase;
    m_strCulture = culture;
}
