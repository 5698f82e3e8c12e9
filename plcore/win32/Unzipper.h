// CUnzipper: reads the ZIP archive appended to a setup file and writes its entries to disk, in
// chunks of at most 64 KiB; every failure is thrown as ZipException. One object per thread;
// several objects may read the same file at once, each with its own handle.
#pragma once

#include "plcore/ZipException.h"
#include "plcore/win32/FileSystem.h"

#include <cstdint>
#include <string>

namespace plcore
{

struct ZipEntryInfo
{
    std::wstring name; // "\" separated; decoded as UTF-8 when flag bit 11 is set
    uint32_t versionMadeBy = 0;
    uint32_t versionNeeded = 0;
    uint32_t flags = 0;
    uint32_t compressionMethod = 0;
    uint32_t dosDateTime = 0; // date in the high 16 bits
    uint32_t crc32 = 0;
    uint64_t compressedSize = 0;
    uint64_t uncompressedSize = 0;
    uint32_t internalAttributes = 0;
    uint32_t externalAttributes = 0;
    bool isFolder = false; // directory attribute 0x10 of externalAttributes
};

class CUnzipper
{
public:
    // Opens the archive in `archivePath`; throws ZipErrorSystem with the system error (0 when
    // the file holds no archive).
    explicit CUnzipper(const std::wstring& archivePath);
    CUnzipper(const CUnzipper&) = delete;
    CUnzipper& operator=(const CUnzipper&) = delete;
    virtual ~CUnzipper();

    void CloseArchive(bool throwOnError);
    void SetTargetFolder(const std::wstring& folder);
    bool FindEntry(const std::wstring& name);
    bool MoveToFirstEntry();
    bool MoveToNextEntry();
    // Entry names that would land outside the target folder or under another name are refused
    // as a damaged archive (ZipErrorBadArchive), so nothing is ever written for them.
    void GetEntryInfo(ZipEntryInfo& info);
    void ExtractCurrentEntry(ZipEntryInfo& info, const std::wstring& targetPath);
    uint64_t ExtractChunk();
    uint64_t ExtractRest();
    uint64_t GetTotalUncompressedSize();

    static constexpr size_t kChunkSize = 65536;

private:
    void RequireArchive() const;
    // The current entry's stored name and flags; `tooLong` when it does not fit the buffer.
    void ReadRawName(std::string& name, uint32_t& flags, bool& tooLong);
    void CloseEntryAfterFailure();
    void ApplyEntryTime();

    void* m_hArchive = nullptr;
    std::wstring m_strTargetFolder;
    CHandle m_outputFile;
    std::wstring m_strOutputPath;
    uint32_t m_entryDosTime = 0;
};

} // namespace plcore
