#include "plcore/win32/Unzipper.h"
#include "plcore/ByteOrder.h"
#include "plcore/win32/ZipErrorText.h"
#include "tools/sfxpack/ZipWriter.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

using namespace plcore;

namespace
{

struct Entry
{
    std::string name;
    std::string data;
    bool folder = false;
    bool utf8 = false;
    uint32_t dosTime = 0x00210000;
};

class UnzipperTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        m_dir = JoinPath(temp, L"unzipper-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                   std::to_wstring(::GetTickCount()));
        ASSERT_EQ(CreateFolderPath(nullptr, m_dir), 0);
        m_archive = JoinPath(m_dir, L"setup.exe");
        m_target = JoinPath(m_dir, L"out\\deeper");
    }
    void TearDown() override
    {
        std::wstring from = m_dir + L'\0';
        SHFILEOPSTRUCTW op{};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
        ::SHFileOperationW(&op);
    }

    // An archive after a few bytes of "image", as in a setup file.
    void MakeArchive(const std::vector<Entry>& entries)
    {
        std::FILE* f = _wfopen(m_archive.c_str(), L"wb+");
        ASSERT_NE(f, nullptr);
        std::fputs("MZ image bytes before the archive", f);
        sfxpack::CZipWriter zip(f);
        for (const Entry& e : entries)
        {
            sfxpack::ZipEntryOptions options{e.dosTime, e.utf8};
            ASSERT_TRUE(e.folder ? zip.AddFolder(e.name, options)
                                 : zip.AddData(e.name, e.data, options));
        }
        ASSERT_TRUE(zip.Finish());
        std::fclose(f);
    }
    std::vector<uint8_t> ArchiveBytes()
    {
        std::ifstream in(std::filesystem::path(m_archive), std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }
    void WriteArchiveBytes(const std::vector<uint8_t>& bytes)
    {
        std::ofstream(std::filesystem::path(m_archive), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    static std::string FileText(const std::wstring& path)
    {
        std::ifstream in(std::filesystem::path(path), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static bool FileExists(const std::wstring& path)
    {
        return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    void ExtractAll(CUnzipper& zip)
    {
        zip.SetTargetFolder(m_target);
        ZipEntryInfo info;
        for (bool more = zip.MoveToFirstEntry(); more; more = zip.MoveToNextEntry())
        {
            zip.ExtractCurrentEntry(info, L"");
            if (!info.isFolder)
                zip.ExtractRest();
        }
    }

    std::wstring m_dir;
    std::wstring m_archive;
    std::wstring m_target;
};

ZipException Caught(const std::function<void()>& f)
{
    try
    {
        f();
    }
    catch (const ZipException& e)
    {
        return e;
    }
    return ZipException(-1, -1);
}

#define EXPECT_ZIP_ERROR(statement, code, detail)                                                  \
    do                                                                                             \
    {                                                                                              \
        const ZipException e_ = Caught([&] { statement; });                                        \
        EXPECT_EQ(e_.m_code, code) << #statement;                                                  \
        EXPECT_EQ(e_.m_detail, detail) << #statement;                                              \
    } while (0)

TEST_F(UnzipperTest, EmptyArchiveHasNoEntriesAndSizeZero)
{
    MakeArchive({});
    CUnzipper zip(m_archive);
    EXPECT_FALSE(zip.MoveToFirstEntry());
    EXPECT_EQ(zip.GetTotalUncompressedSize(), 0u);
    EXPECT_FALSE(zip.FindEntry(L"SetupInfo.ini"));
}

TEST_F(UnzipperTest, ExtractsIntoSubfoldersWithAndWithoutFolderEntries)
{
    const std::string big(200000, 'x');
    MakeArchive({{"SetupInfo.ini", "[main]"},
                 {"nofolder/entry/deep.txt", "deep"},
                 {"withfolder/", "", true},
                 {"withfolder/big.bin", big},
                 {"withfolder/empty/", "", true}});
    CUnzipper zip(m_archive);
    EXPECT_EQ(zip.GetTotalUncompressedSize(), 6u + 4u + big.size());
    ExtractAll(zip);
    EXPECT_EQ(FileText(m_target + L"\\SetupInfo.ini"), "[main]");
    EXPECT_EQ(FileText(m_target + L"\\nofolder\\entry\\deep.txt"), "deep");
    EXPECT_EQ(FileText(m_target + L"\\withfolder\\big.bin"), big);
    EXPECT_TRUE(DirectoryExists(m_target + L"\\withfolder\\empty"));

    // Chunks of at most 64 KiB, the last call returning 0.
    ASSERT_TRUE(zip.FindEntry(L"withfolder\\big.bin"));
    ZipEntryInfo info;
    zip.ExtractCurrentEntry(info, m_dir + L"\\copy.bin");
    EXPECT_EQ(info.name, L"withfolder\\big.bin");
    EXPECT_EQ(info.compressionMethod, 8u);
    EXPECT_FALSE(info.isFolder);
    uint64_t total = 0;
    for (uint64_t n; (n = zip.ExtractChunk()) != 0;)
    {
        EXPECT_LE(n, CUnzipper::kChunkSize);
        total += n;
    }
    EXPECT_EQ(total, big.size());
    EXPECT_EQ(FileText(m_dir + L"\\copy.bin"), big);
}

TEST_F(UnzipperTest, FindEntryIgnoresAsciiCaseAndRefusesLongNames)
{
    MakeArchive({{"a.txt", "a"}, {"Product/Product_SetupInfo.ini", "[main]"}});
    CUnzipper zip(m_archive);
    EXPECT_TRUE(zip.FindEntry(L"PRODUCT/product_setupinfo.INI"));
    EXPECT_TRUE(zip.FindEntry(L"product\\Product_SetupInfo.ini"));
    ZipEntryInfo info;
    zip.GetEntryInfo(info);
    EXPECT_EQ(info.name, L"Product\\Product_SetupInfo.ini");
    EXPECT_FALSE(zip.FindEntry(L"missing.ini"));
    EXPECT_FALSE(zip.FindEntry(std::wstring(255, L'a')));
    EXPECT_ZIP_ERROR(zip.FindEntry(std::wstring(256, L'a')), ZipErrorBadParameter, 0);
}

TEST_F(UnzipperTest, CrcMismatchThrowsAfterTheLastChunkAndLeavesTheFile)
{
    MakeArchive({{"data.txt", "payload data"}});
    std::vector<uint8_t> bytes = ArchiveBytes();
    // The CRC sits in the local header (offset 14) and the central record (offset 16).
    const size_t local = 33;
    const size_t central = bytes.size() - 22 - (46 + 8);
    ASSERT_EQ(ReadLe32(&bytes[local]), 0x04034b50u);
    ASSERT_EQ(ReadLe32(&bytes[central]), 0x02014b50u);
    bytes[local + 14] ^= 0xFF;
    bytes[central + 16] ^= 0xFF;
    WriteArchiveBytes(bytes);

    CUnzipper zip(m_archive);
    zip.SetTargetFolder(m_target);
    ASSERT_TRUE(zip.MoveToFirstEntry());
    ZipEntryInfo info;
    zip.ExtractCurrentEntry(info, L"");
    EXPECT_ZIP_ERROR(zip.ExtractRest(), ZipErrorCrc, 0);
    EXPECT_EQ(FileText(m_target + L"\\data.txt"), "payload data");
}

TEST_F(UnzipperTest, OpeningFailuresCarryTheSystemError)
{
    std::ofstream(std::filesystem::path(m_archive), std::ios::binary) << "MZ not an archive at all";
    EXPECT_ZIP_ERROR(CUnzipper zip(m_archive), ZipErrorSystem, 0);
    EXPECT_ZIP_ERROR(CUnzipper zip(m_dir + L"\\missing.exe"), ZipErrorSystem, 2);
}

TEST_F(UnzipperTest, TargetThatCannotBeWrittenGivesAccessDenied)
{
    MakeArchive({{"data.txt", "new"}});
    CUnzipper zip(m_archive);
    ASSERT_TRUE(zip.MoveToFirstEntry());
    ZipEntryInfo info;
    // A folder where the file should go.
    const std::wstring folder = m_dir + L"\\folder.txt";
    ASSERT_EQ(CreateFolderPath(nullptr, folder), 0);
    EXPECT_ZIP_ERROR(zip.ExtractCurrentEntry(info, folder), ZipErrorSystem, 5);

    const std::wstring target = m_dir + L"\\readonly.txt";
    std::ofstream(std::filesystem::path(target)) << "old";
    ASSERT_TRUE(::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
    // Wine keeps the attribute as Unix permissions, which the superuser may ignore.
    CHandle probe(
        ::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (probe.IsValid())
        GTEST_SKIP() << "this file system lets us write a read-only file (Wine run as root)";
    EXPECT_ZIP_ERROR(zip.ExtractCurrentEntry(info, target), ZipErrorSystem, 5);
    EXPECT_EQ(FileText(target), "old");
    ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(UnzipperTest, FileTimesAreTheEntrysDosTimeReadAsLocalTime)
{
    const uint32_t dos = (((2020u - 1980) << 9 | 6 << 5 | 15) << 16) | (10u << 11 | 20 << 5 | 15);
    MakeArchive({{"dated.txt", "x", false, false, dos}});
    CUnzipper zip(m_archive);
    ExtractAll(zip);
    FILETIME local, expected;
    ASSERT_TRUE(
        ::DosDateTimeToFileTime(static_cast<WORD>(dos >> 16), static_cast<WORD>(dos), &local));
    ASSERT_TRUE(::LocalFileTimeToFileTime(&local, &expected));
    CHandle file(::CreateFileW((m_target + L"\\dated.txt").c_str(), GENERIC_READ, FILE_SHARE_READ,
                               nullptr, OPEN_EXISTING, 0, nullptr));
    FILETIME creation, access, write;
    ASSERT_TRUE(::GetFileTime(file.Get(), &creation, &access, &write));
    EXPECT_EQ(::CompareFileTime(&write, &expected), 0);
    EXPECT_EQ(::CompareFileTime(&creation, &expected), 0);
}

TEST_F(UnzipperTest, Utf8FlaggedNamesAreUtf8AndOthersTheAnsiCodePage)
{
    MakeArchive({{"\xC3\xA4rger/\xE2\x82\xAC.txt", "euro", false, true},
                 {"caf\xE9.txt", "cp1252", false, false}});
    CUnzipper zip(m_archive);
    ASSERT_TRUE(zip.MoveToFirstEntry());
    ZipEntryInfo info;
    zip.GetEntryInfo(info);
    EXPECT_EQ(info.name, L"\u00e4rger\\\u20ac.txt");
    EXPECT_TRUE(zip.FindEntry(L"\u00c4RGER/\u20ac.txt") == false); // non-ASCII case is significant
    EXPECT_TRUE(zip.FindEntry(L"\u00e4rger/\u20ac.TXT"));
    if (::GetACP() == 1252)
    {
        ASSERT_TRUE(zip.MoveToNextEntry());
        zip.GetEntryInfo(info);
        EXPECT_EQ(info.name, L"caf\u00e9.txt");
    }
    ExtractAll(zip);
    EXPECT_EQ(FileText(m_target + L"\\\u00e4rger\\\u20ac.txt"), "euro");
}

TEST_F(UnzipperTest, HostileNamesAreRefusedAsDamagedBeforeAnythingIsWritten)
{
    const char* names[] = {
        "../escape.txt",    "sub/../../escape.txt",
        "/absolute.txt",    "\\absolute.txt",
        "C:/Windows/x.dll", "file.txt:stream",
        "trailing.",        "blank /x.txt",
        "sub/CON",          "nul.txt",
        "COM1.log",
    };
    for (const char* name : names)
    {
        MakeArchive({{"fine.txt", "fine"}, {name, "evil"}});
        CUnzipper zip(m_archive);
        EXPECT_ZIP_ERROR(zip.GetTotalUncompressedSize(), ZipErrorBadArchive, 0);
        ASSERT_TRUE(zip.MoveToFirstEntry());
        ASSERT_TRUE(zip.MoveToNextEntry());
        ZipEntryInfo info;
        zip.SetTargetFolder(m_target);
        EXPECT_ZIP_ERROR(zip.ExtractCurrentEntry(info, L""), ZipErrorBadArchive, 0);
        EXPECT_FALSE(FileExists(m_dir + L"\\out\\escape.txt")) << name;
        EXPECT_FALSE(FileExists(m_dir + L"\\escape.txt")) << name;
    }
    // The name buffer holds 259 bytes: a longer name would be cut.
    MakeArchive({{std::string(259, 'n'), "ok"}});
    {
        CUnzipper zip(m_archive);
        EXPECT_NO_THROW(zip.GetTotalUncompressedSize());
    }
    MakeArchive({{std::string(260, 'n'), "cut"}});
    CUnzipper zip(m_archive);
    EXPECT_ZIP_ERROR(zip.GetTotalUncompressedSize(), ZipErrorBadArchive, 0);
}

TEST_F(UnzipperTest, ClosedArchiveRefusesEntryOperations)
{
    MakeArchive({{"a.txt", "a"}});
    CUnzipper zip(m_archive);
    zip.SetTargetFolder(m_target);
    zip.CloseArchive(true);
    ZipEntryInfo info;
    EXPECT_ZIP_ERROR(zip.MoveToFirstEntry(), ZipErrorBadArchive, 0);
    EXPECT_ZIP_ERROR(zip.MoveToNextEntry(), ZipErrorBadArchive, 0);
    EXPECT_ZIP_ERROR(zip.GetEntryInfo(info), ZipErrorBadArchive, 0);
    EXPECT_ZIP_ERROR(zip.ExtractCurrentEntry(info, L""), ZipErrorBadArchive, 0);
    EXPECT_ZIP_ERROR(zip.ExtractChunk(), ZipErrorBadArchive, 0);
    EXPECT_ZIP_ERROR(zip.GetTotalUncompressedSize(), ZipErrorBadArchive, 0);
    EXPECT_ZIP_ERROR(zip.FindEntry(L"a.txt"), ZipErrorBadParameter, 0);
    EXPECT_NO_THROW(zip.CloseArchive(true));
    EXPECT_NO_THROW(zip.SetTargetFolder(m_target));
}

TEST(FormatZipError, ComposesTheTextOfEachCode)
{
    const auto load = [](unsigned id) { return L"S" + std::to_wstring(id); };
    struct Case
    {
        ZipException e;
        std::wstring path;
        std::wstring text;
    } cases[] = {
        {{ZipErrorCrc, 0}, L"C:\\x\\a.txt", L"S155\n\n(CRC error)\n\nC:\\x\\a.txt"},
        {{ZipErrorBadParameter, 0}, L"", L"S156\n\n(bad parameter)"},
        {{ZipErrorBadArchive, 0}, L"p", L"S155\n\np"},
        {{ZipErrorInternal, 0}, L"", L"S156"},
        {{ZipErrorSystem, 0}, L"", L"S137\n\n" + FormatSystemError(0)},
        {{ZipErrorSystem, 5}, L"f", L"S137\n\n" + FormatSystemError(5) + L"\n\nf"},
        {{ZipErrorOther, -3}, L"", L"S137\n\nError code: 0, -3"},
        {{ZipErrorEndOfList, 0}, L"", L"S137\n\nError code: 1, 0"},
        {{42, 7}, L"", L"S137\n\nError code: 42, 7"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatZipError(c.e, c.path, load), c.text) << c.e.m_code;
    const std::wstring runtime = FormatZipError({ZipErrorRuntime, EDOM}, L"", load);
    EXPECT_EQ(runtime.rfind(L"S135\n\n", 0), 0u);
    EXPECT_GT(runtime.size(), 6u);
    EXPECT_NE(FormatSystemError(5).find(L" (5)"), std::wstring::npos);
    EXPECT_EQ(FormatSystemError(5).back(), L')');
}

} // namespace
