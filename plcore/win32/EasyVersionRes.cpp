#include "plcore/win32/EasyVersionRes.h"

#include <cstdio>
#include <string>

namespace plcore
{
namespace
{

// version.dll is not a KnownDLL: it is loaded from the system folder by name at run time.
struct VersionApi
{
    using SizeFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
    using InfoFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
    using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
    SizeFn getSize = nullptr;
    InfoFn getInfo = nullptr;
    QueryFn query = nullptr;

    static const VersionApi& Get()
    {
        static const VersionApi api = []
        {
            VersionApi a;
            HMODULE h = LoadLibraryExW(L"version.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
            if (h == nullptr)
                h = LoadLibraryW(L"version.dll");
            if (h != nullptr)
            {
                a.getSize = reinterpret_cast<SizeFn>(
                    reinterpret_cast<void*>(GetProcAddress(h, "GetFileVersionInfoSizeW")));
                a.getInfo = reinterpret_cast<InfoFn>(
                    reinterpret_cast<void*>(GetProcAddress(h, "GetFileVersionInfoW")));
                a.query = reinterpret_cast<QueryFn>(
                    reinterpret_cast<void*>(GetProcAddress(h, "VerQueryValueW")));
            }
            return a;
        }();
        return api;
    }
    bool Usable() const { return getSize != nullptr && getInfo != nullptr && query != nullptr; }
};

} // namespace

CEasyVersionRes::~CEasyVersionRes()
{
    Clear();
}

void CEasyVersionRes::Clear()
{
    delete[] m_pVersionInfo;
    m_pVersionInfo = nullptr;
    m_dwVersionInfoSize = 0;
    m_dwTranslation = 0;
}

bool CEasyVersionRes::Load(const wchar_t* path)
{
    Clear();
    const VersionApi& api = VersionApi::Get();
    if (path == nullptr || !api.Usable())
        return false;
    DWORD handle = 0;
    DWORD size = api.getSize(path, &handle);
    if (size == 0)
        return false;
    m_pVersionInfo = new BYTE[size];
    m_dwVersionInfoSize = size;
    if (!api.getInfo(path, 0, size, m_pVersionInfo))
    {
        Clear();
        return false;
    }
    return true;
}

DWORD CEasyVersionRes::GetTranslation()
{
    if (m_pVersionInfo == nullptr)
        return 0;
    if (m_dwTranslation == 0)
    {
        void* pValue = nullptr;
        UINT cb = 0;
        if (VersionApi::Get().query(m_pVersionInfo, L"\\VarFileInfo\\Translation", &pValue, &cb) &&
            pValue != nullptr && cb >= 4)
        {
            // Stored as language id then code page; the table is named code page last.
            const BYTE* p = static_cast<const BYTE*>(pValue);
            DWORD language = p[0] | (p[1] << 8);
            DWORD codePage = p[2] | (p[3] << 8);
            m_dwTranslation = (language << 16) | codePage;
        }
        else
        {
            m_dwTranslation = 0;
        }
    }
    return m_dwTranslation;
}

const wchar_t* CEasyVersionRes::QueryString(DWORD translation, const wchar_t* key)
{
    if (m_pVersionInfo == nullptr || key == nullptr)
        return nullptr;
    wchar_t table[16];
    swprintf(table, 16, L"%08X", static_cast<unsigned>(translation));
    std::wstring name = std::wstring(L"\\StringFileInfo\\") + table + L"\\" + key;
    void* pValue = nullptr;
    UINT cch = 0;
    if (!VersionApi::Get().query(m_pVersionInfo, name.c_str(), &pValue, &cch) || pValue == nullptr)
        return nullptr;
    return static_cast<const wchar_t*>(pValue);
}

const wchar_t* CEasyVersionRes::GetCulture()
{
    if (m_pVersionInfo == nullptr || GetTranslation() == 0)
        return nullptr;
    return QueryString(GetTranslation(), L"PL_Culture");
}

} // namespace plcore
