#include "stub/setup/StubDefaults.h"

#include "plcore/win32/EasyVersionRes.h"
#include "stub/app/App.h"
#include "stub/payload/FileResource.h"
#include "stub/payload/ModulePath.h"

namespace stub
{

void ReadStubDefaults(CApp& app)
{
    const std::wstring self = GetOwnModulePath();

    // The resource holds ANSI text up to its first zero byte (zero-padded to a fixed size).
    std::vector<BYTE> bytes;
    std::wstring setupInfoPath;
    if (ReadFileResource(self, L"_PLN_SETUPINFO", bytes) >= 0)
    {
        size_t length = 0;
        while (length < bytes.size() && bytes[length] != 0)
            ++length;
        if (length > 0)
        {
            int cch = MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(bytes.data()),
                                          static_cast<int>(length), nullptr, 0);
            setupInfoPath.resize(static_cast<size_t>(cch));
            MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(bytes.data()),
                                static_cast<int>(length), setupInfoPath.data(), cch);
        }
    }
    app.m_strSetupInfoPath = setupInfoPath.empty() ? L"SetupInfo.ini" : setupInfoPath;

    plcore::CEasyVersionRes version;
    if (version.Load(self.c_str()))
    {
        if (const wchar_t* culture = version.GetCulture())
            app.SetLanguageFromCulture(culture);
    }
}

} // namespace stub
