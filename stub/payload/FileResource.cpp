#include "stub/payload/FileResource.h"

namespace stub
{
namespace
{

HRESULT LastErrorStatus()
{
    DWORD error = GetLastError();
    if (error == 0)
        error = ERROR_RESOURCE_DATA_NOT_FOUND;
    return static_cast<HRESULT>(0x80070000u | (error & 0xFFFFu));
}

} // namespace

HRESULT ReadFileResource(const std::wstring& path, const wchar_t* name, std::vector<BYTE>& bytes)
{
    bytes.clear();
    HMODULE hModule = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (hModule == nullptr)
        return LastErrorStatus();

    HRESULT status = S_OK;
    HRSRC hRes = FindResourceW(hModule, name, MAKEINTRESOURCEW(10)); // RT_RCDATA
    HGLOBAL hGlobal = hRes != nullptr ? LoadResource(hModule, hRes) : nullptr;
    const void* pData = hGlobal != nullptr ? LockResource(hGlobal) : nullptr;
    if (pData == nullptr)
    {
        status = LastErrorStatus();
    }
    else
    {
        DWORD cb = SizeofResource(hModule, hRes);
        const BYTE* first = static_cast<const BYTE*>(pData);
        bytes.assign(first, first + cb);
    }
    FreeLibrary(hModule);
    return status;
}

} // namespace stub
