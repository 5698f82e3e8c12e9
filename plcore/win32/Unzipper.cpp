#include "plcore/win32/Unzipper.h"

#include "plcore/EntryName.h"

#include "plcore/MinizipApi.h"

#include <cerrno>
#include <vector>

namespace plcore
{
namespace
{

constexpr size_t kNameBuffer = 260;
// The unzip layer refuses lookups of names this long or longer.
constexpr size_t kMaxLookupBytes = 256;

unzFile Archive(void* h)
{
    return static_cast<unzFile>(h);
}

std::wstring Decode(const std::string& name, bool utf8, bool& ok)
{
    ok = true;
    if (name.empty())
        return {};
    const UINT codePage = utf8 ? CP_UTF8 : CP_THREAD_ACP;
    const DWORD flags = utf8 ? MB_ERR_INVALID_CHARS : 0;
    const int n = ::MultiByteToWideChar(codePage, flags, name.data(), static_cast<int>(name.size()),
                                        nullptr, 0);
    if (n <= 0)
    {
        ok = false;
        return {};
    }
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(codePage, flags, name.data(), static_cast<int>(name.size()), wide.data(),
                          n);
    return wide;
}

// Lookup compares like the unzip layer, ignoring the case of ASCII letters, and takes "/" and
// "\" as the same separator (the setup-information path is written with "\").
bool SameEntryName(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
    {
        wchar_t x = a[i] == L'/' ? L'\\' : a[i];
        wchar_t y = b[i] == L'/' ? L'\\' : b[i];
        if (x >= L'a' && x <= L'z')
            x = static_cast<wchar_t>(x - 32);
        if (y >= L'a' && y <= L'z')
            y = static_cast<wchar_t>(y - 32);
        if (x != y)
            return false;
    }
    return true;
}

} // namespace

CUnzipper::CUnzipper(const std::wstring& archivePath)
{
    CloseArchive(true);
    ::SetLastError(0);
    zlib_filefunc64_def functions;
    fill_win32_filefunc64W(&functions);
    m_hArchive = unzOpen2_64(archivePath.c_str(), &functions);
    if (m_hArchive == nullptr)
        throw ZipException(ZipErrorSystem, static_cast<int32_t>(::GetLastError()));
}

CUnzipper::~CUnzipper()
{
    try
    {
        CloseArchive(false);
    }
    catch (...)
    {
    }
}

void CUnzipper::CloseArchive(bool throwOnError)
{
    m_strTargetFolder.clear();
    if (m_hArchive == nullptr)
        return;
    unzCloseCurrentFile(Archive(m_hArchive));
    const int result = unzClose(Archive(m_hArchive));
    m_hArchive = nullptr;
    if (throwOnError)
        ThrowOnZipError(result);
}

void CUnzipper::RequireArchive() const
{
    if (m_hArchive == nullptr)
        throw ZipException(ZipErrorBadArchive, 0);
}

void CUnzipper::SetTargetFolder(const std::wstring& folder)
{
    if (!DirectoryExists(folder))
    {
        const int result = CreateFolderPath(nullptr, folder);
        if (result != 0)
            throw ZipException(ZipErrorSystem, result);
    }
    m_strTargetFolder = folder;
}

bool CUnzipper::MoveToFirstEntry()
{
    RequireArchive();
    return unzGoToFirstFile(Archive(m_hArchive)) == UNZ_OK;
}

bool CUnzipper::MoveToNextEntry()
{
    RequireArchive();
    const int result = unzGoToNextFile(Archive(m_hArchive));
    if (result == UNZ_END_OF_LIST_OF_FILE)
        return false;
    ThrowOnZipError(result);
    return true;
}

void CUnzipper::ReadRawName(std::string& name, uint32_t& flags, bool& tooLong)
{
    unz_file_info64 info{};
    char buffer[kNameBuffer] = {};
    ThrowOnZipError(unzGetCurrentFileInfo64(Archive(m_hArchive), &info, buffer, kNameBuffer,
                                            nullptr, 0, nullptr, 0));
    tooLong = info.size_filename >= kNameBuffer;
    name.assign(buffer, tooLong ? kNameBuffer - 1 : info.size_filename);
    flags = static_cast<uint32_t>(info.flag);
}

bool CUnzipper::FindEntry(const std::wstring& name)
{
    if (m_hArchive == nullptr)
        throw ZipException(ZipErrorBadParameter, 0);
    const int ansiBytes = ::WideCharToMultiByte(
        CP_ACP, 0, name.data(), static_cast<int>(name.size()), nullptr, 0, nullptr, nullptr);
    if (ansiBytes < 0 || static_cast<size_t>(ansiBytes) >= kMaxLookupBytes)
        throw ZipException(ZipErrorBadParameter, 0);

    // The layer reports a damaged archive, not the end of the list, when there are no entries.
    unz_global_info64 global{};
    if (unzGetGlobalInfo64(Archive(m_hArchive), &global) == UNZ_OK && global.number_entry == 0)
        return false;
    unz64_file_pos previous{};
    const bool hadCurrent = unzGetFilePos64(Archive(m_hArchive), &previous) == UNZ_OK;
    int result = unzGoToFirstFile(Archive(m_hArchive));
    while (result == UNZ_OK)
    {
        std::string raw;
        uint32_t flags = 0;
        bool tooLong = false;
        ReadRawName(raw, flags, tooLong);
        bool ok = false;
        const std::wstring stored = Decode(raw, (flags & kZipFlagUtf8) != 0, ok);
        if (ok && !tooLong && SameEntryName(stored, name))
            return true;
        result = unzGoToNextFile(Archive(m_hArchive));
    }
    if (result != UNZ_END_OF_LIST_OF_FILE)
        ThrowOnZipError(result);
    if (hadCurrent)
        unzGoToFilePos64(Archive(m_hArchive), &previous);
    return false;
}

void CUnzipper::GetEntryInfo(ZipEntryInfo& info)
{
    info = ZipEntryInfo();
    RequireArchive();
    unz_file_info64 raw{};
    char buffer[kNameBuffer] = {};
    ThrowOnZipError(unzGetCurrentFileInfo64(Archive(m_hArchive), &raw, buffer, kNameBuffer, nullptr,
                                            0, nullptr, 0));
    // A cut name would land under another name; an unsafe one outside the target folder.
    if (raw.size_filename >= kNameBuffer)
        throw ZipException(ZipErrorBadArchive, 0);
    bool ok = false;
    info.name = Decode(std::string(buffer, raw.size_filename), (raw.flag & kZipFlagUtf8) != 0, ok);
    if (!ok || !IsSafeEntryName(std::u16string(info.name.begin(), info.name.end())))
        throw ZipException(ZipErrorBadArchive, 0);
    for (wchar_t& c : info.name)
    {
        if (c == L'/')
            c = L'\\';
    }
    info.versionMadeBy = static_cast<uint32_t>(raw.version);
    info.versionNeeded = static_cast<uint32_t>(raw.version_needed);
    info.flags = static_cast<uint32_t>(raw.flag);
    info.compressionMethod = static_cast<uint32_t>(raw.compression_method);
    info.dosDateTime = static_cast<uint32_t>(raw.dosDate);
    info.crc32 = static_cast<uint32_t>(raw.crc);
    info.compressedSize = raw.compressed_size;
    info.uncompressedSize = raw.uncompressed_size;
    info.internalAttributes = static_cast<uint32_t>(raw.internal_fa);
    info.externalAttributes = static_cast<uint32_t>(raw.external_fa);
    info.isFolder = (info.externalAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void CUnzipper::ExtractCurrentEntry(ZipEntryInfo& info, const std::wstring& targetPath)
{
    GetEntryInfo(info);
    if (info.isFolder)
    {
        const std::wstring path = JoinPath(m_strTargetFolder, info.name);
        if (!DirectoryExists(path))
        {
            const int result = CreateFolderPath(nullptr, path);
            if (result != 0)
                throw ZipException(ZipErrorSystem, result);
        }
        return;
    }
    m_entryDosTime = info.dosDateTime;
    const std::wstring target =
        targetPath.empty() ? JoinPath(m_strTargetFolder, info.name) : targetPath;
    const size_t slash = target.rfind(L'\\');
    const std::wstring folder = slash == std::wstring::npos ? L"" : target.substr(0, slash + 1);
    if (!folder.empty() && !DirectoryExists(folder))
    {
        const int result = CreateFolderPath(nullptr, folder);
        if (result != 0)
            throw ZipException(ZipErrorSystem, result);
    }
    m_outputFile.Close();
    m_outputFile.Reset(::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!m_outputFile.IsValid())
        throw ZipException(ZipErrorSystem, static_cast<int32_t>(::GetLastError()));
    m_strOutputPath = target;
    const int result = unzOpenCurrentFile(Archive(m_hArchive));
    if (result != UNZ_OK)
        m_outputFile.Close();
    ThrowOnZipError(result);
}

void CUnzipper::CloseEntryAfterFailure()
{
    m_outputFile.Close();
    unzCloseCurrentFile(Archive(m_hArchive));
}

uint64_t CUnzipper::ExtractChunk()
{
    RequireArchive();
    if (!m_outputFile.IsValid())
        throw ZipException(ZipErrorSystem, ERROR_FILE_NOT_FOUND);
    std::vector<char> buffer(kChunkSize);
    const int n =
        unzReadCurrentFile(Archive(m_hArchive), buffer.data(), static_cast<unsigned>(kChunkSize));
    if (n > 0)
    {
        DWORD written = 0;
        if (!::WriteFile(m_outputFile.Get(), buffer.data(), static_cast<DWORD>(n), &written,
                         nullptr) ||
            written != static_cast<DWORD>(n))
        {
            const DWORD error = written != 0 ? static_cast<DWORD>(-1) : ::GetLastError();
            CloseEntryAfterFailure();
            throw ZipException(ZipErrorSystem, static_cast<int32_t>(error));
        }
        return static_cast<uint64_t>(n);
    }
    if (n < 0)
    {
        const int error = errno;
        CloseEntryAfterFailure();
        errno = error;
        ThrowOnZipError(n);
    }
    m_outputFile.Close();
    ThrowOnZipError(unzCloseCurrentFile(Archive(m_hArchive)));
    ApplyEntryTime();
    return 0;
}

uint64_t CUnzipper::ExtractRest()
{
    uint64_t total = 0;
    for (uint64_t n = ExtractChunk(); n != 0; n = ExtractChunk())
        total += n;
    return total;
}

void CUnzipper::ApplyEntryTime()
{
    CHandle file(::CreateFileW(m_strOutputPath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    FILETIME creation, access, write, local, utc;
    if (!file.IsValid() || !::GetFileTime(file.Get(), &creation, &access, &write))
        return;
    if (!::DosDateTimeToFileTime(static_cast<WORD>(m_entryDosTime >> 16),
                                 static_cast<WORD>(m_entryDosTime), &local) ||
        !::LocalFileTimeToFileTime(&local, &utc))
        return;
    ::SetFileTime(file.Get(), &utc, &access, &utc);
}

uint64_t CUnzipper::GetTotalUncompressedSize()
{
    RequireArchive();
    uint64_t total = 0;
    ZipEntryInfo info;
    for (bool more = MoveToFirstEntry(); more; more = MoveToNextEntry())
    {
        GetEntryInfo(info);
        total += info.uncompressedSize;
    }
    return total;
}

} // namespace plcore
