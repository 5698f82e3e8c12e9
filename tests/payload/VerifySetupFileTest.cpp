#include "stub/payload/VerifySetupFile.h"

#include "plcore/ByteOrder.h"
#include "plcore/PeImage.h"
#include "plcore/win32/FileSystem.h"
#include "tests/fixtures/PeBuilder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace
{

using pltest::Bytes;

std::wstring LoadText(unsigned id)
{
    if (id == 162)
        return L"Expected file size: %I64d\nActual file size: %I64d.";
    return L"S" + std::to_wstring(id);
}

// Reads the resource with the portable reader; the stub's own reader is exercised end to end.
bool ReadResource(const std::wstring& path, const wchar_t* name, std::vector<uint8_t>& bytes)
{
    // The fixtures' images are small; the files may be huge (and sparse).
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    Bytes file(65536);
    in.read(reinterpret_cast<char*>(file.data()), static_cast<std::streamsize>(file.size()));
    file.resize(static_cast<size_t>(in.gcount()));
    plcore::CPeImage pe;
    if (pe.Parse(file) != plcore::PeError::None)
        return false;
    const auto r = pe.FindResourceData({10, {}}, {0, std::u16string(name, name + wcslen(name))});
    if (!r)
        return false;
    bytes.assign(file.begin() + r->fileOffset, file.begin() + r->fileOffset + r->size);
    return true;
}

class VerifySetupFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        m_path =
            std::wstring(temp) + L"verify-" + std::to_wstring(::GetCurrentProcessId()) + L".exe";
    }
    void TearDown() override { ::DeleteFileW(m_path.c_str()); }

    // A stub image followed by `payload` bytes, with `recorded` in _PLN_VERIFY.
    static Bytes SetupFile(size_t payload, int64_t recordedDelta = 0,
                           std::vector<pltest::PeResource> resources = pltest::StubResources())
    {
        Bytes file = pltest::BuildPeImage(resources);
        file.resize(file.size() + payload, 'P');
        plcore::CPeImage pe;
        pe.Parse(file);
        if (const auto verify = pe.FindResourceData({10, {}}, {0, u"_PLN_VERIFY"});
            verify && verify->size == 8)
            plcore::WriteLe64(&file[verify->fileOffset], file.size() + recordedDelta);
        return file;
    }
    // Appends a certificate table of `size` bytes at an 8-byte boundary and points the security
    // directory at it.
    static void Sign(Bytes& file, uint32_t size)
    {
        file.resize((file.size() + 7) / 8 * 8, 0);
        const uint32_t offset = static_cast<uint32_t>(file.size());
        file.resize(file.size() + size, 'C');
        plcore::WriteLe32(&file[64 + plcore::CPeImage::kSecurityDirectoryField], offset);
        plcore::WriteLe32(&file[64 + plcore::CPeImage::kSecurityDirectoryField + 4], size);
    }
    std::wstring Verify(const Bytes& file)
    {
        std::ofstream(std::filesystem::path(m_path), std::ios::binary)
            .write(reinterpret_cast<const char*>(file.data()), file.size());
        return stub::VerifySetupFile(m_path, LoadText, ReadResource);
    }
    static std::wstring Mismatch(uint64_t expected, uint64_t actual)
    {
        return L"S155\n\nExpected file size: " + std::to_wstring(expected) +
               L"\nActual file size: " + std::to_wstring(actual) + L".";
    }

    std::wstring m_path;
};

TEST_F(VerifySetupFileTest, UnsignedFileIsJudgedByTheRecordedSize)
{
    const Bytes whole = SetupFile(5000);
    EXPECT_EQ(Verify(whole), L"");
    EXPECT_EQ(Verify(Bytes(whole.begin(), whole.end() - 1)),
              Mismatch(whole.size(), whole.size() - 1));
    Bytes longer = whole;
    longer.push_back(0);
    EXPECT_EQ(Verify(longer), Mismatch(whole.size(), whole.size() + 1));
}

TEST_F(VerifySetupFileTest, SignedFileIsJudgedByItsCertificateTable)
{
    Bytes file = SetupFile(3001);
    const uint64_t unsignedSize = file.size();
    Sign(file, 1200);
    EXPECT_EQ(Verify(file), L"");
    file.push_back(0);
    EXPECT_EQ(Verify(file), Mismatch(file.size() - 1, file.size()));
    EXPECT_NE(unsignedSize, file.size() - 1);

    // Whatever _PLN_VERIFY holds, and also when it is missing.
    auto resources = pltest::StubResources();
    resources.erase(resources.begin());
    Bytes withoutVerify = SetupFile(10, 0, resources);
    Sign(withoutVerify, 64);
    EXPECT_EQ(Verify(withoutVerify), L"");
}

TEST_F(VerifySetupFileTest, FormatFaultsHaveTheirOwnTexts)
{
    auto resources = pltest::StubResources();
    resources.erase(resources.begin());
    EXPECT_EQ(Verify(SetupFile(10, 0, resources)), L"Resource _PLN_VERIFY is not found.");
    resources.insert(resources.begin(), {10, u"_PLN_VERIFY", 0, Bytes(4, 0)});
    EXPECT_EQ(Verify(SetupFile(10, 0, resources)), L"Resource _PLN_VERIFY is not found.");

    Bytes zip = SetupFile(100);
    zip[0] = 'P';
    zip[1] = 'K';
    EXPECT_EQ(Verify(zip), L"File does not have EXE format.");
    Bytes badPe = SetupFile(100);
    badPe[64] = 'N';
    EXPECT_EQ(Verify(badPe), L"Invalid PE signature.");
    Bytes farPe = SetupFile(100);
    plcore::WriteLe32(&farPe[60], 0x7FFFFFF0);
    EXPECT_EQ(Verify(farPe), L"Invalid PE signature.");

    ::DeleteFileW(m_path.c_str());
    EXPECT_EQ(stub::VerifySetupFile(m_path, LoadText, ReadResource), L"S135 (2)");
}

TEST_F(VerifySetupFileTest, FileOverOneMebibyteIsCheckedFromItsHead)
{
    const Bytes big = SetupFile(3 * 1048576 + 17);
    EXPECT_EQ(Verify(big), L"");
    EXPECT_EQ(Verify(Bytes(big.begin(), big.end() - 1)), Mismatch(big.size(), big.size() - 1));
}

TEST_F(VerifySetupFileTest, FileOverFourGibibytesIsCheckedFromItsHeadToo)
{
    // A sparse file: the image, then a gap up to just over 4 GiB.
    Bytes head = SetupFile(0);
    const uint64_t size = 0x100000000ull + 100;
    plcore::CPeImage pe;
    ASSERT_EQ(pe.Parse(head), plcore::PeError::None);
    const auto verify = pe.FindResourceData({10, {}}, {0, u"_PLN_VERIFY"});
    plcore::WriteLe64(&head[verify->fileOffset], size);
    std::ofstream(std::filesystem::path(m_path), std::ios::binary)
        .write(reinterpret_cast<const char*>(head.data()), head.size());
    {
        plcore::CHandle file(
            ::CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        LARGE_INTEGER end;
        end.QuadPart = static_cast<LONGLONG>(size);
        ASSERT_TRUE(::SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN));
        ASSERT_TRUE(::SetEndOfFile(file.Get()));
    }
    EXPECT_EQ(stub::VerifySetupFile(m_path, LoadText, ReadResource), L"");
}

} // namespace
