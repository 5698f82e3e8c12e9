#include "plcore/win32/FileSystem.h"

#include <cwchar>
#include <cwctype>

namespace plcore
{

std::wstring AddTrailingBackslash(const std::wstring& path)
{
    if (path.empty() || path.back() == L'\\')
        return path;
    return path + L'\\';
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name)
{
    return AddTrailingBackslash(folder) + name;
}

bool DirectoryExists(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

int CreateFolderPath(HWND owner, const std::wstring& path)
{
    using CreateDirectoryFn = int(WINAPI*)(HWND, LPCWSTR);
    // shell32 is a KnownDLL; taken from the system folder when the program has not loaded it.
    static const CreateDirectoryFn create = []
    {
        HMODULE shell = ::GetModuleHandleW(L"shell32.dll");
        if (shell == nullptr)
            shell = ::LoadLibraryExW(L"shell32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return reinterpret_cast<CreateDirectoryFn>(reinterpret_cast<void*>(
            shell != nullptr ? ::GetProcAddress(shell, MAKEINTRESOURCEA(165)) : nullptr));
    }();
    if (create == nullptr)
        return ERROR_PROC_NOT_FOUND;
    return create(owner, path.c_str());
}

std::wstring FormatSystemError(DWORD code)
{
    wchar_t text[1024] = {};
    DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                               code, 0, text, 1024, nullptr);
    while (n > 0 && std::iswspace(text[n - 1]))
        --n;
    wchar_t number[24];
    std::swprintf(number, 24, L" (%d)", static_cast<int>(code));
    return std::wstring(text, n) + number;
}

} // namespace plcore
