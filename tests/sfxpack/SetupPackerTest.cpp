#include "tools/sfxpack/SetupPacker.h"

#include "plcore/ByteOrder.h"
#include "plcore/PeImage.h"
#include "plcore/VersionBlock.h"
#include "tests/fixtures/PeBuilder.h"
#include "tools/sfxpack/FileIo.h"
#include "tools/sfxpack/ZipWriter.h"

#include "plcore/MinizipApi.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
// windows.h first
#include <imagehlp.h>
#else
#include <sys/wait.h>
#endif

#include <fstream>
#include <functional>
#include <random>

namespace fs = std::filesystem;
using namespace sfxpack;
using pltest::Bytes;

namespace
{

Bytes ReadAll(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& p, const std::string& text)
{
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}

std::string ReadEntry(const fs::path& zipPath, const std::string& name)
{
#ifdef _WIN32
    zlib_filefunc64_def functions;
    fill_win32_filefunc64W(&functions);
    unzFile z = unzOpen2_64(zipPath.c_str(), &functions);
#else
    unzFile z = unzOpen64(zipPath.c_str());
#endif
    EXPECT_NE(z, nullptr);
    std::string data;
    if (unzLocateFile(z, name.c_str(), 1) == UNZ_OK && unzOpenCurrentFile(z) == UNZ_OK)
    {
        char buf[4096];
        int n;
        while ((n = unzReadCurrentFile(z, buf, sizeof buf)) > 0)
            data.append(buf, n);
        EXPECT_EQ(unzCloseCurrentFile(z), UNZ_OK) << name;
    }
    else
    {
        ADD_FAILURE() << "no entry " << name;
    }
    unzClose(z);
    return data;
}

class SetupPackerTest : public ::testing::Test
{
public:
    void SetUp() override
    {
        m_dir =
            fs::temp_directory_path() / ("sfxpack-test-" + std::to_string(std::random_device{}()));
        fs::create_directories(m_dir / "payload");
        WriteStub(pltest::BuildPeImage(pltest::StubResources()));
        m_options = {};
        m_options.stub = m_dir / "stub.exe";
        m_options.payload = m_dir / "payload";
        m_options.output = m_dir / "setup.exe";
    }
    void TearDown() override { fs::remove_all(m_dir); }

    void WriteStub(const Bytes& image)
    {
        std::ofstream(m_dir / "stub.exe", std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()), image.size());
    }
    // `name` is UTF-8, as the archive stores it.
    void Payload(const std::string& name, const std::string& text)
    {
        WriteAll(m_dir / "payload" / fs::path(std::u8string(name.begin(), name.end())), text);
    }
    std::string PackError()
    {
        try
        {
            Pack(m_options);
        }
        catch (const CPackError& e)
        {
            EXPECT_FALSE(fs::exists(m_options.output));
            return e.what();
        }
        return "packed";
    }
    // The bytes of resource `name` in the packed file.
    Bytes Resource(const std::u16string& name, uint16_t type = 10, uint16_t id = 0)
    {
        const Bytes file = ReadAll(m_options.output);
        plcore::CPeImage pe;
        EXPECT_EQ(pe.Parse(file), plcore::PeError::None);
        const auto r = pe.FindResourceData({type, {}}, {id, name});
        if (!r)
            return {};
        return Bytes(file.begin() + r->fileOffset, file.begin() + r->fileOffset + r->size);
    }

    fs::path m_dir;
    PackOptions m_options;
};

TEST_F(SetupPackerTest, PacksTheSetupInfoFirstAndRecordsTheFileSize)
{
    Payload("product/setup.exe", "MZ program");
    Payload("product/Product_SetupInfo.ini", "[main]\r\n");
    Payload("a.txt", std::string(200000, 'a'));
    Payload("\xC3\xA4rger/\xE2\x82\xAC.txt", "euro");
    fs::create_directories(m_dir / "payload" / "empty");
    m_options.setupInfo = "product/Product_SetupInfo.ini";

    const uint64_t size = Pack(m_options);
    EXPECT_EQ(size, fs::file_size(m_options.output));
    EXPECT_EQ(plcore::ReadLe64(Resource(u"_PLN_VERIFY").data()), size);
    const Bytes setupInfo = Resource(u"_PLN_SETUPINFO");
    EXPECT_STREQ(reinterpret_cast<const char*>(setupInfo.data()), "product\\Product_SetupInfo.ini");
    EXPECT_EQ(Verify(m_options.output), "");

    const auto entries = List(m_options.output);
    ASSERT_EQ(entries.size(), 7u);
    EXPECT_EQ(entries[0].name, "product/Product_SetupInfo.ini");
    std::vector<std::string> names;
    for (const auto& e : entries)
        names.push_back(e.name);
    EXPECT_EQ(names, (std::vector<std::string>{"product/Product_SetupInfo.ini", "a.txt", "empty/",
                                               "product/", "product/setup.exe", "\xC3\xA4rger/",
                                               "\xC3\xA4rger/\xE2\x82\xAC.txt"}));
    for (const auto& e : entries)
        EXPECT_EQ((e.flags & 0x800) != 0, static_cast<unsigned char>(e.name[0]) >= 0x80) << e.name;
    EXPECT_LT(entries[1].compressedSize, 1000u);
    EXPECT_EQ(ReadEntry(m_options.output, "a.txt"), std::string(200000, 'a'));
    EXPECT_EQ(ReadEntry(m_options.output, "\xC3\xA4rger/\xE2\x82\xAC.txt"), "euro");

    // The archive's offsets count from the start of the whole file: its first local header
    // begins right after the image.
    const Bytes file = ReadAll(m_options.output);
    plcore::CPeImage pe;
    ASSERT_EQ(pe.Parse(file), plcore::PeError::None);
    EXPECT_EQ(plcore::ReadLe32(&file[pe.ImageEnd()]), 0x04034b50u);
    EXPECT_EQ(plcore::ReadLe32(&file[file.size() - 22]), 0x06054b50u); // no comment
}

TEST_F(SetupPackerTest, EmptyPayloadMakesAnEmptyArchive)
{
    Pack(m_options);
    EXPECT_TRUE(List(m_options.output).empty());
    EXPECT_EQ(Verify(m_options.output), "");
}

#ifdef _WIN32
TEST_F(SetupPackerTest, ImageChecksumCoversTheWholeFile)
{
    // The system's own checksum routine is the judge, for files of odd and even length.
    bool seen[2] = {false, false};
    for (int length = 1; length < 40 && !(seen[0] && seen[1]); ++length)
    {
        Payload("SetupInfo.ini", std::string(static_cast<size_t>(length), 'i'));
        const uint64_t size = Pack(m_options);
        seen[size % 2] = true;
        DWORD stored = 0;
        DWORD computed = 0;
        ASSERT_EQ(::MapFileAndCheckSumW(m_options.output.c_str(), &stored, &computed), 0u);
        EXPECT_EQ(stored, computed) << size;
    }
    EXPECT_TRUE(seen[0] && seen[1]);
}
#endif

TEST_F(SetupPackerTest, DefaultSetupInfoGoesFirstWhenPresent)
{
    Payload("a.txt", "a");
    Payload("setupinfo.INI", "[main]");
    Pack(m_options);
    EXPECT_EQ(List(m_options.output)[0].name, "setupinfo.INI");
    EXPECT_EQ(Resource(u"_PLN_SETUPINFO"), Bytes(256, 0));
}

TEST_F(SetupPackerTest, PatchesCultureAndForwardedValuesInPlace)
{
    Payload("SetupInfo.ini", "[main]");
    m_options.culture = "zh-CHS";
    m_options.values = {{"PLNID", "abc=1"}, {"PLN_UPGRADEDELAY", "7"}};
    Pack(m_options);
    Bytes id = Resource(u"PLNID");
    EXPECT_EQ(std::string(id.begin(), id.begin() + 6), std::string("abc=1\0", 6));
    Bytes delay = Resource(u"PLN_UPGRADEDELAY");
    EXPECT_EQ(delay, Bytes({'7', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

    const Bytes version = Resource(u"", 16, 1);
    plcore::CVersionBlock block;
    ASSERT_TRUE(block.Parse(version));
    EXPECT_EQ(block.FindString(block.Translation(), u"PL_Culture")->text, u"zh-CHS");
    EXPECT_EQ(block.FindString(block.Translation(), u"PL_StubVersion")->text, u"1.0.0.0");
}

TEST_F(SetupPackerTest, VerifyReportsBothSizesOfAFileThatIsNotWhole)
{
    Payload("SetupInfo.ini", "[main]");
    const uint64_t size = Pack(m_options);
    const std::string expected = "Expected file size: " + std::to_string(size);

    fs::resize_file(m_options.output, size - 1);
    std::string message = Verify(m_options.output);
    EXPECT_NE(message.find("The setup file is corrupted."), std::string::npos) << message;
    EXPECT_NE(message.find(expected + "\nActual file size: " + std::to_string(size - 1) + "."),
              std::string::npos)
        << message;

    fs::resize_file(m_options.output, size + 1);
    message = Verify(m_options.output);
    EXPECT_NE(message.find("Actual file size: " + std::to_string(size + 1) + "."),
              std::string::npos)
        << message;

    WriteAll(m_dir / "notexe", "PK\x03\x04");
    EXPECT_EQ(Verify(m_dir / "notexe"), "File does not have EXE format.");
    EXPECT_EQ(Verify(m_dir / "missing").rfind("The compressed setup file could not be read. (", 0),
              0u);
}

#ifndef _WIN32
// Needs openssl and osslsigncode, or names that a Windows file system cannot hold.
TEST_F(SetupPackerTest, SignedFileIsJudgedByItsCertificateTable)
{
    Payload("SetupInfo.ini", "[main]");
    const uint64_t unsignedSize = Pack(m_options);
    const fs::path signedFile = m_dir / "signed.exe";
    const std::string dir = m_dir.string();
    ASSERT_EQ(
        std::system(("openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=Test -keyout " +
                     dir + "/key.pem -out " + dir + "/cert.pem >/dev/null 2>&1")
                        .c_str()),
        0);
    ASSERT_EQ(std::system(("osslsigncode sign -certs " + dir + "/cert.pem -key " + dir +
                           "/key.pem -in " + m_options.output.string() + " -out " +
                           signedFile.string() + " >/dev/null 2>&1")
                              .c_str()),
              0);
    EXPECT_EQ(Verify(signedFile), "");
    EXPECT_EQ(List(signedFile).size(), 1u);

    const Bytes file = ReadAll(signedFile);
    plcore::CPeImage pe;
    ASSERT_EQ(pe.Parse(file), plcore::PeError::None);
    const auto security = pe.DataDirectory(plcore::CPeImage::kDirectorySecurity);
    EXPECT_EQ(security.address, (unsignedSize + 7) / 8 * 8);
    EXPECT_EQ(security.address + security.size, file.size());

    std::ofstream(signedFile, std::ios::binary | std::ios::app) << 'x';
    const std::string message = Verify(signedFile);
    EXPECT_NE(message.find("Expected file size: " + std::to_string(file.size()) +
                           "\nActual file size: " + std::to_string(file.size() + 1) + "."),
              std::string::npos)
        << message;
}

TEST_F(SetupPackerTest, RefusesWhatTheStubCouldNotUse)
{
    struct Case
    {
        const char* why;
        std::function<void(SetupPackerTest&)> arrange;
        const char* message;
    } cases[] = {
        {"stub not an image", [](SetupPackerTest& t) { WriteAll(t.m_options.stub, "PK"); },
         "is not a PE32 i386 image"},
        {"stub without _PLN_VERIFY",
         [](SetupPackerTest& t)
         {
             auto r = pltest::StubResources();
             r.erase(r.begin());
             t.WriteStub(pltest::BuildPeImage(r));
         },
         "has no RCDATA resource _PLN_VERIFY"},
        {"stub already signed",
         [](SetupPackerTest& t)
         {
             Bytes image = pltest::BuildPeImage(pltest::StubResources());
             image[64 + plcore::CPeImage::kSecurityDirectoryField] = 1;
             t.WriteStub(image);
         },
         "is signed"},
        {"payload missing", [](SetupPackerTest& t) { t.m_options.payload = t.m_dir / "none"; },
         "is not a readable folder"},
        {"trailing dot", [](SetupPackerTest& t) { t.Payload("bad./x", ""); },
         "would be refused by the stub"},
        {"device name", [](SetupPackerTest& t) { t.Payload("sub/NUL.txt", ""); },
         "would be refused by the stub"},
        {"colon", [](SetupPackerTest& t) { t.Payload("a:b", ""); }, "would be refused by the stub"},
        {"not UTF-8", [](SetupPackerTest& t) { t.Payload("\xFF.txt", ""); }, "not valid UTF-8"},
        {"name too long",
         [](SetupPackerTest& t)
         { t.Payload(std::string(200, 'a') + "/" + std::string(59, 'b'), ""); },
         "longer than 259 bytes"},
        {"names differing in case",
         [](SetupPackerTest& t)
         {
             t.Payload("Readme.txt", "");
             t.Payload("README.txt", "");
         },
         "differ only in letter case"},
        {"names differing in case beyond ASCII",
         [](SetupPackerTest& t)
         {
             t.Payload("\xC3\x84rger.txt", ""); // Ärger.txt
             t.Payload("\xC3\xA4rger.txt", ""); // ärger.txt
         },
         "differ only in letter case"},
        {"Cyrillic names differing in case",
         [](SetupPackerTest& t)
         {
             t.Payload("\xD0\x94\xD0\xB0.txt", ""); // Да.txt
             t.Payload("\xD0\xB4\xD0\x90.txt", ""); // дА.txt
         },
         "differ only in letter case"},
        {"file and folder differing in case",
         [](SetupPackerTest& t)
         {
             t.Payload("Docs/guide.txt", "");
             t.Payload("docs", "");
         },
         "differ only in letter case"},
        {"setup info absent", [](SetupPackerTest& t) { t.m_options.setupInfo = "x.ini"; },
         "is not in the payload"},
        {"culture too long", [](SetupPackerTest& t) { t.m_options.culture = "abcdefghijklmnop"; },
         "room for 15 characters"},
        {"value too long",
         [](SetupPackerTest& t) {
             t.m_options.values = {{"PLN_UPGRADEDELAY", std::string(17, '1')}};
         },
         "does not fit into its 16 bytes"},
        {"value not forwarded",
         [](SetupPackerTest& t) {
             t.m_options.values = {{"_PLN_VERIFY", "1"}};
         },
         "only resources named PLN"},
        {"value of no resource",
         [](SetupPackerTest& t) {
             t.m_options.values = {{"PLNX", "1"}};
         },
         "no resource of that name"},
    };
    for (const Case& c : cases)
    {
        TearDown();
        SetUp();
        Payload("SetupInfo.ini", "[main]");
        c.arrange(*this);
        EXPECT_NE(PackError().find(c.message), std::string::npos) << c.why << ": " << PackError();
    }
}

#endif

#ifndef _WIN32
// The same writer on both systems; under Wine its 140,000 seeks take half a minute.
TEST(ZipWriter, ManyEntriesUseZip64EndRecords)
{
    const fs::path path = fs::temp_directory_path() / "sfxpack-zip64-test.zip";
    std::FILE* f = OpenFile(path, "wb+").release();
    ASSERT_NE(f, nullptr);
    std::fputs("MZ prefix", f);
    CZipWriter zip(f);
    constexpr int kCount = 70000;
    for (int i = 0; i < kCount; ++i)
        ASSERT_TRUE(zip.AddData("f" + std::to_string(i), i == 69999 ? "last" : "", {}));
    ASSERT_TRUE(zip.Finish());
    std::fclose(f);
    const auto entries = List(path);
    ASSERT_EQ(entries.size(), static_cast<size_t>(kCount));
    EXPECT_EQ(ReadEntry(path, "f69999"), "last");
    fs::remove(path);
}

#endif

TEST(ZipWriter, DosDateTimeOfALocalTime)
{
    EXPECT_EQ(ToDosDateTime(2024, 2, 29, 13, 45, 59),
              (((44u << 9) | (2 << 5) | 29) << 16) | ((13u << 11) | (45 << 5) | 29));
    EXPECT_EQ(ToDosDateTime(1970, 1, 1, 0, 0, 0), 0x00210000u);
}

#ifndef _WIN32
TEST(SfxpackCommand, ExitCodesAndMessages)
{
    const std::string tool = SFXPACK_PATH;
    const fs::path out = fs::temp_directory_path() / "sfxpack-cli.txt";
    auto run = [&](const std::string& args)
    {
        const int status = std::system((tool + " " + args + " >" + out.string() + " 2>&1").c_str());
        std::ifstream in(out);
        return std::make_pair(WEXITSTATUS(status),
                              std::string(std::istreambuf_iterator<char>(in), {}));
    };
    EXPECT_EQ(run("").first, 2);
    EXPECT_EQ(run("pack --stub x").first, 2);
    EXPECT_EQ(run("frobnicate a").first, 2);
    const auto missing = run("pack --stub /nonexistent.exe --payload /tmp -o /tmp/x.exe");
    EXPECT_EQ(missing.first, 1);
    EXPECT_NE(missing.second.find("sfxpack: cannot read /nonexistent.exe"), std::string::npos)
        << missing.second;
    EXPECT_EQ(run("verify /nonexistent.exe").first, 1);
    fs::remove(out);
}

#endif

} // namespace
