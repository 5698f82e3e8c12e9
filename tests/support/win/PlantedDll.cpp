// A DLL that plays one planted beside a program in a download folder: when any process loads it,
// it leaves "planted-NAME.txt" (NAME: its own file name) in its own folder.
#include <windows.h>

#include <string>

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    wchar_t path[MAX_PATH];
    DWORD cch = GetModuleFileNameW(hInstance, path, MAX_PATH);
    std::wstring self(path, cch);
    size_t slash = self.find_last_of(L'\\');
    std::wstring marker =
        self.substr(0, slash + 1) + L"planted-" + self.substr(slash + 1) + L".txt";
    HANDLE h = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
    return TRUE;
}
