// The payload messages with the stub's real string tables and resource reader.
#include "plcore/win32/FileSystem.h"
#include "stub/app/App.h"
#include "stub/i18n/LocalizedString.h"
#include "stub/payload/ReportZipError.h"
#include "stub/payload/VerifySetupFile.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace
{

constexpr wchar_t kCorrupted[] = L"The setup file is corrupted. If you downloaded this file from "
                                 L"the internet, please download it again.";

std::wstring OwnPath()
{
    wchar_t path[MAX_PATH];
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

TEST(ZipErrorMessage, UsesTheCurrentLanguage)
{
    CApp app;
    EXPECT_EQ(stub::ZipErrorMessage({plcore::ZipErrorCrc, 0}, L"C:\\x\\setup.exe"),
              std::wstring(kCorrupted) + L"\n\n(CRC error)\n\nC:\\x\\setup.exe");
    EXPECT_EQ(stub::ZipErrorMessage({plcore::ZipErrorSystem, 2}, L""),
              L"The installation files could not be extracted.\n\n" + plcore::FormatSystemError(2));
    app.SetLanguageFromCulture(L"de-DE");
    EXPECT_EQ(stub::ZipErrorMessage({plcore::ZipErrorBadArchive, 0}, L""),
              stub::LoadStringById(4155));
    EXPECT_NE(stub::LoadStringById(4155), kCorrupted);
}

// This program carries the stub's resources, with the 0 of an unpacked stub in _PLN_VERIFY.
TEST(VerifySetupFile, ReadsTheRecordedSizeFromTheFileOnDisk)
{
    CApp app;
    const std::wstring self = OwnPath();
    const auto size = std::filesystem::file_size(std::filesystem::path(self));
    EXPECT_EQ(stub::VerifySetupFile(self), std::wstring(kCorrupted) +
                                               L"\n\nExpected file size: 0\nActual file size: " +
                                               std::to_wstring(size) + L".");
    app.SetLanguageFromCulture(L"de-de");
    EXPECT_EQ(stub::VerifySetupFile(self).rfind(stub::LoadStringById(4155) + L"\n\n", 0), 0u);
}

} // namespace
