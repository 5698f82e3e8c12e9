// PlPlatformWin.cpp - the Windows side of the OS layer: code pages, the user's language, date
// display through the platform's locale formatter, and the module handle recorded at load.

#include "osal/PlPlatform.h"

#include <windows.h>

#include <memory>

namespace PlOSAL
{

namespace
{

HMODULE g_hModule = nullptr;

const wchar_t* W(const PlWString& text)
{
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

bool FormatWith(bool date, const SPlDateTime& when, const PlWString& pattern, size_t room,
                PlWString& out)
{
    out.clear();
    if (room == 0 || room > 0x7FFFFFFF)
        return false;
    SYSTEMTIME st = {when.wYear, when.wMonth,  when.wDayOfWeek, when.wDay,
                     when.wHour, when.wMinute, when.wSecond,    when.wMilliseconds};
    std::unique_ptr<wchar_t[]> buffer(new (std::nothrow) wchar_t[room]);
    if (!buffer)
        return false;
    const int n = date ? GetDateFormatW(LOCALE_USER_DEFAULT, 0, &st, W(pattern), buffer.get(),
                                        static_cast<int>(room))
                       : GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, W(pattern), buffer.get(),
                                        static_cast<int>(room));
    if (n <= 0)
        return false;
    out.assign(reinterpret_cast<const char16_t*>(buffer.get()), static_cast<size_t>(n - 1));
    return true;
}

} // namespace

PlWString FromAnsi(const uint8_t* bytes, size_t length)
{
    if (length == 0 || length > 0x7FFFFFFF)
        return {};
    const auto* src = reinterpret_cast<const char*>(bytes);
    const int n = MultiByteToWideChar(CP_ACP, 0, src, static_cast<int>(length), nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, src, static_cast<int>(length), out.data(), n);
    return PlWString(out.begin(), out.end());
}

bool WideToCodePage(const PlWString& text, uint32_t codePage, std::string& out)
{
    out.clear();
    if (text.size() > 0x7FFFFFFF)
        return false;
    const int len = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(codePage, 0, W(text), len, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return false;
    out.assign(static_cast<size_t>(n), '\0');
    return WideCharToMultiByte(codePage, 0, W(text), len, out.data(), n, nullptr, nullptr) == n;
}

bool FormatLocaleDate(const SPlDateTime& when, const PlWString& pattern, size_t room,
                      PlWString& out)
{
    return FormatWith(true, when, pattern, room, out);
}

bool FormatLocaleTime(const SPlDateTime& when, const PlWString& pattern, size_t room,
                      PlWString& out)
{
    return FormatWith(false, when, pattern, room, out);
}

uint16_t UserLanguage()
{
    return GetUserDefaultUILanguage();
}

void* LibraryModule()
{
    if (g_hModule == nullptr)
    {
        // Not loaded as a DLL (linked into a program): the module that holds this code.
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCWSTR>(&g_hModule), &g_hModule);
    }
    return g_hModule;
}

} // namespace PlOSAL

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
    {
        PlOSAL::g_hModule = hInstance;
    }
    return TRUE;
}
