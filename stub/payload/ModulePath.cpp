#include "stub/payload/ModulePath.h"

#include <windows.h>

namespace stub
{

std::wstring GetOwnModulePath()
{
    wchar_t path[MAX_PATH];
    DWORD cch = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (cch == 0 || cch >= MAX_PATH)
        return std::wstring();
    return std::wstring(path, cch);
}

} // namespace stub
