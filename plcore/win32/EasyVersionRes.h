// CEasyVersionRes: string values of the version resource of an executable file. One object per
// use, on one thread.
#pragma once

#include <windows.h>

namespace plcore
{

class CEasyVersionRes
{
public:
    CEasyVersionRes() = default;
    virtual ~CEasyVersionRes();
    CEasyVersionRes(const CEasyVersionRes&) = delete;
    CEasyVersionRes& operator=(const CEasyVersionRes&) = delete;

    // Loads the version block of the file, discarding any earlier one. True when a block is loaded.
    bool Load(const wchar_t* path);
    // Language id in the high half and code page in the low half; 0 without a translation entry.
    DWORD GetTranslation();
    // A value of the string table for `translation`, valid while the block stays loaded; or null.
    const wchar_t* QueryString(DWORD translation, const wchar_t* key);
    // The stub's culture (the string PL_Culture), or null.
    const wchar_t* GetCulture();

    BYTE* m_pVersionInfo = nullptr;
    DWORD m_dwVersionInfoSize = 0;
    DWORD m_dwTranslation = 0;

private:
    void Clear();
};

} // namespace plcore
