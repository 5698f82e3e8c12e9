#include "plcore/win32/ZipErrorText.h"

#include "plcore/win32/FileSystem.h"

#include <cstring>
#include <cwchar>

namespace plcore
{

std::wstring FormatZipError(const ZipException& e, const std::wstring& path,
                            const std::function<std::wstring(unsigned)>& loadString)
{
    std::wstring text;
    switch (e.m_code)
    {
    case ZipErrorCrc:
        text = loadString(kIdsCorrupted) + L"\n\n(CRC error)";
        break;
    case ZipErrorBadParameter:
        text = loadString(kIdsInternalError) + L"\n\n(bad parameter)";
        break;
    case ZipErrorBadArchive:
        text = loadString(kIdsCorrupted);
        break;
    case ZipErrorInternal:
        text = loadString(kIdsInternalError);
        break;
    case ZipErrorRuntime:
    {
        wchar_t runtime[1024] = {};
        std::swprintf(runtime, 1024, L"%hs", std::strerror(e.m_detail));
        text = loadString(kIdsCannotRead) + L"\n\n" + runtime;
        break;
    }
    case ZipErrorSystem:
        text = loadString(kIdsCannotExtract) + L"\n\n" +
               FormatSystemError(static_cast<DWORD>(e.m_detail));
        break;
    default:
    {
        wchar_t codes[64];
        std::swprintf(codes, 64, L"Error code: %d, %d", e.m_code, e.m_detail);
        text = loadString(kIdsCannotExtract) + L"\n\n" + codes;
        break;
    }
    }
    if (!path.empty())
        text += L"\n\n" + path;
    return text;
}

} // namespace plcore
