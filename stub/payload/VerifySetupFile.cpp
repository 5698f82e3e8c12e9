#include "stub/payload/VerifySetupFile.h"

#include "plcore/ByteOrder.h"
#include "plcore/SetupHeaders.h"
#include "plcore/win32/FileSystem.h"
#include "stub/i18n/LocalizedString.h"
#include "stub/payload/FileResource.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <span>

namespace stub
{
namespace
{

constexpr unsigned kIdsCannotRead = IDS_CANNOT_READ_SETUP_FILE;
constexpr unsigned kIdsCorrupted = IDS_SETUP_FILE_CORRUPTED;
constexpr unsigned kIdsSizes = IDS_FILE_SIZE_MISMATCH; // "Expected file size: %I64d\n..."

std::wstring Widen(const char* ascii)
{
    return std::wstring(ascii, ascii + std::char_traits<char>::length(ascii));
}

class CMappedView
{
public:
    explicit CMappedView(const void* p) : m_p(p) {}
    CMappedView(const CMappedView&) = delete;
    CMappedView& operator=(const CMappedView&) = delete;
    ~CMappedView()
    {
        if (m_p != nullptr)
            ::UnmapViewOfFile(m_p);
    }
    const uint8_t* Get() const { return static_cast<const uint8_t*>(m_p); }

private:
    const void* m_p;
};

std::wstring CannotRead(const SetupTextLoader& loadText)
{
    wchar_t code[24];
    _snwprintf(code, 24, L" (%d)", static_cast<int>(::GetLastError()));
    return loadText(kIdsCannotRead) + code;
}

} // namespace

std::wstring VerifySetupFile(const std::wstring& path)
{
    return VerifySetupFile(
        path, LoadLocalizedString,
        [](const std::wstring& file, const wchar_t* name, std::vector<uint8_t>& bytes)
        { return ReadFileResource(file, name, bytes) >= 0; });
}

std::wstring VerifySetupFile(const std::wstring& path, const SetupTextLoader& loadText,
                             const SetupResourceReader& readResource)
{
    plcore::CHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return CannotRead(loadText);
    // Only the head is mapped; when the size is unknown the whole file is. The size is taken in
    // 64 bits: its low half alone would map a few bytes of a file just over 4 GiB.
    LARGE_INTEGER size{};
    const DWORD viewSize =
        ::GetFileSizeEx(file.Get(), &size)
            ? static_cast<DWORD>(std::min<LONGLONG>(size.QuadPart, plcore::kSetupHeadBytes))
            : 0;
    plcore::CHandle mapping(
        ::CreateFileMappingW(file.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping.IsValid())
        return CannotRead(loadText);
    CMappedView view(::MapViewOfFileEx(mapping.Get(), FILE_MAP_READ, 0, 0, viewSize, nullptr));
    if (view.Get() == nullptr)
        return CannotRead(loadText);
    MEMORY_BASIC_INFORMATION region{};
    size_t mapped = viewSize;
    if (mapped == 0 && ::VirtualQuery(view.Get(), &region, sizeof region) != 0)
        mapped = region.RegionSize;

    const plcore::SetupHeaders headers =
        plcore::ReadSetupHeaders(std::span<const uint8_t>(view.Get(), mapped));
    if (const char* fault = plcore::SetupHeaderErrorText(headers.error))
        return Widen(fault);

    uint64_t expected = 0;
    if (headers.IsSigned())
    {
        // A signed file must end exactly where its certificate table ends.
        expected = headers.SignedFileSize();
    }
    else
    {
        std::vector<uint8_t> recorded;
        if (!readResource(path, L"_PLN_VERIFY", recorded) || recorded.size() != 8)
            return Widen(plcore::kTextNoVerifyResource);
        expected = plcore::ReadLe64(recorded.data());
    }

    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    uint64_t actual = UINT64_MAX;
    if (::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes))
        actual = (uint64_t{attributes.nFileSizeHigh} << 32) | attributes.nFileSizeLow;
    if (expected == actual)
        return {};

    wchar_t sizes[256];
    _snwprintf(sizes, 256, loadText(kIdsSizes).c_str(), static_cast<long long>(expected),
               static_cast<long long>(actual));
    sizes[255] = L'\0';
    return loadText(kIdsCorrupted) + L"\n\n" + sizes;
}

} // namespace stub
