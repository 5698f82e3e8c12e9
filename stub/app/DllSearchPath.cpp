#include "stub/app/DllSearchPath.h"

#include <windows.h>

#include <string>

namespace stub
{

void RestrictDllSearchPath()
{
    HMODULE hKernel = GetModuleHandleW(L"kernel32.dll");
    using SetDefaultFn = BOOL(WINAPI*)(DWORD);
    auto setDefault = reinterpret_cast<SetDefaultFn>(
        reinterpret_cast<void*>(GetProcAddress(hKernel, "SetDefaultDllDirectories")));
    if (setDefault == nullptr || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32))
        SetDllDirectoryW(L""); // older systems: at least drop the current folder

    wchar_t system[MAX_PATH];
    UINT cch = GetSystemDirectoryW(system, MAX_PATH);
    if (cch == 0 || cch >= MAX_PATH)
        return;
    std::wstring folder(system, cch);
    if (folder.back() != L'\\')
        folder += L'\\';

    // Loaded behind our back by name (uxtheme by the themed controls, propsys and clbcatq by the
    // shell and COM, ...): once loaded from the system folder, a planted copy is never consulted.
    static const wchar_t* const kPreload[] = {
        L"uxtheme.dll",  L"dwmapi.dll",  L"propsys.dll",   L"userenv.dll",
        L"setupapi.dll", L"apphelp.dll", L"cryptbase.dll", L"oleacc.dll",
        L"clbcatq.dll",  L"ntmarta.dll", L"version.dll",
    };
    for (const wchar_t* name : kPreload)
        LoadLibraryExW((folder + name).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

} // namespace stub
