// End to end: setup files made by sfxpack from generated payloads, run as stub.exe under Wine.
// A file that is not whole ends the run with its message and SFX_ERROR_PAYLOAD; a whole one
// runs on (here: an extract-only quiet run that ends with 0).
#include "plcore/ByteOrder.h"
#include "plcore/PeImage.h"
#include "tests/support/WineRunner.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

namespace
{

constexpr uint32_t kSfxErrorPayload = 0x20001004;
constexpr int kIdMessageText = 0xFFFF; // the static text of a message box
constexpr const char* kCorrupted = "The setup file is corrupted. If you downloaded this file from "
                                   "the internet, please download it again.";

using Bytes = std::vector<uint8_t>;

Bytes ReadAll(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& p, const Bytes& bytes)
{
    std::ofstream(p, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

int Shell(const std::string& command)
{
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The driver's report is a Windows text file: a record's last field may keep its CR.
std::string WithoutCr(std::string text)
{
    if (!text.empty() && text.back() == '\r')
        text.pop_back();
    return text;
}

std::string SizeMessage(uint64_t expected, uint64_t actual)
{
    return std::string(kCorrupted) + "\n\nExpected file size: " + std::to_string(expected) +
           "\nActual file size: " + std::to_string(actual) + ".";
}

class SelfVerificationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_stub = plt::Win32BinDir() / "stub.exe";
        if (!fs::exists(m_stub))
            GTEST_SKIP() << "no Windows build at " << m_stub;
        m_dir = plt::MakeScratchDir("self-verification");
        fs::create_directories(m_dir / "payload" / "product");
        std::ofstream(m_dir / "payload" / "SetupInfo.ini")
            << "[main]\r\nShowUnzipLanguageDlg=0\r\n";
        std::ofstream(m_dir / "payload" / "product" / "readme.txt") << "read me";
    }

    // Packs the payload with the real sfxpack; returns the setup file.
    fs::path Pack(const std::string& name, const std::string& options = "")
    {
        const fs::path out = m_dir / name;
        EXPECT_EQ(Shell(std::string(SFXPACK_PATH) + " pack --stub " + m_stub.string() +
                        " --payload " + (m_dir / "payload").string() + " -o " + out.string() + " " +
                        options + " >/dev/null"),
                  0);
        return out;
    }
    // Signs with a throwaway key and certificate.
    fs::path Sign(const fs::path& file)
    {
        const std::string d = m_dir.string();
        EXPECT_EQ(
            Shell("openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=Test -keyout " + d +
                  "/key.pem -out " + d + "/cert.pem >/dev/null 2>&1"),
            0);
        const fs::path out = file.string() + ".signed.exe";
        EXPECT_EQ(Shell("osslsigncode sign -certs " + d + "/cert.pem -key " + d + "/key.pem -in " +
                        file.string() + " -out " + out.string() + " >/dev/null 2>&1"),
                  0);
        return out;
    }
    std::optional<uint32_t> QuietRun(const fs::path& setup)
    {
        return plt::RunWindowsProgram(setup, {"/q", "/x", plt::ToWindowsPath(m_dir / "extracted")});
    }
    // A normal run: the one message box the run shows, its screenshot kept, then OK.
    std::string MessageOfRun(const fs::path& setup, uint32_t& exitCode)
    {
        if (std::getenv("DISPLAY") == nullptr)
            return "(no display)";
        const fs::path shot =
            plt::ArtifactDir() / ("self-verification-" + setup.filename().string() + ".png");
        const plt::DriverReport report = plt::DriveWindowsProgram(
            setup, {}, {"--dialog", "--shot", shot.string(), "--press", "1"});
        EXPECT_TRUE(report.errors.empty()) << report.errors.front();
        exitCode = report.exitCode.value_or(0);
        if (report.dialogs.empty())
            return "(no dialog)";
        EXPECT_EQ(WithoutCr(report.dialogs[0].title), "Setup Self-Extractor");
        const plt::Control* text = report.dialogs[0].Find(kIdMessageText);
        return text != nullptr ? WithoutCr(text->text) : "(no text)";
    }
    void ExpectRefused(const fs::path& setup, const std::string& message)
    {
        EXPECT_EQ(QuietRun(setup), kSfxErrorPayload) << setup;
        EXPECT_FALSE(fs::exists(m_dir / "extracted" / "SetupInfo.ini"));
        uint32_t exitCode = 0;
        const std::string shown = MessageOfRun(setup, exitCode);
        if (shown == "(no display)")
            return;
        EXPECT_EQ(shown, message) << setup;
        EXPECT_EQ(exitCode, kSfxErrorPayload);
    }

    fs::path m_stub;
    fs::path m_dir;
};

TEST_F(SelfVerificationTest, UnsignedFileMustHaveTheRecordedSize)
{
    const fs::path setup = Pack("setup.exe");
    const Bytes whole = ReadAll(setup);
    EXPECT_EQ(QuietRun(setup), 0u);

    const fs::path shorter = m_dir / "shorter.exe";
    WriteAll(shorter, Bytes(whole.begin(), whole.end() - 1));
    ExpectRefused(shorter, SizeMessage(whole.size(), whole.size() - 1));

    Bytes extended = whole;
    extended.push_back(0);
    const fs::path longer = m_dir / "longer.exe";
    WriteAll(longer, extended);
    ExpectRefused(longer, SizeMessage(whole.size(), whole.size() + 1));
}

TEST_F(SelfVerificationTest, SignedFileMustEndWithItsCertificateTable)
{
    const fs::path signedSetup = Sign(Pack("setup.exe"));
    EXPECT_EQ(QuietRun(signedSetup), 0u);

    Bytes extended = ReadAll(signedSetup);
    const uint64_t signedSize = extended.size();
    extended.push_back('x');
    const fs::path longer = m_dir / "signed-longer.exe";
    WriteAll(longer, extended);
    ExpectRefused(longer, SizeMessage(signedSize, signedSize + 1));
}

TEST_F(SelfVerificationTest, UnsignedFileNeedsAnEightByteVerifyResource)
{
    const Bytes whole = ReadAll(Pack("setup.exe"));
    plcore::CPeImage pe;
    ASSERT_EQ(pe.Parse(whole), plcore::PeError::None);
    const auto verify = pe.FindResourceData({10, {}}, {0, u"_PLN_VERIFY"});
    ASSERT_TRUE(verify);

    // Renamed: the resource's name string in the tree.
    Bytes renamed = whole;
    const std::u16string name = u"_PLN_VERIFY";
    Bytes needle;
    for (char16_t c : name)
        needle.insert(needle.end(), {static_cast<uint8_t>(c), 0});
    auto at = std::search(renamed.begin(), renamed.end(), needle.begin(), needle.end());
    ASSERT_NE(at, renamed.end());
    *(at + 2 * 10) = 'X';
    WriteAll(m_dir / "renamed.exe", renamed);
    ExpectRefused(m_dir / "renamed.exe", "Resource _PLN_VERIFY is not found.");

    // Four bytes long: the size field of its data entry (RVA, size) in the resource section.
    Bytes shortResource = whole;
    uint32_t rva = 0;
    for (const plcore::PeSection& s : pe.Sections())
    {
        if (verify->fileOffset >= s.rawOffset && verify->fileOffset < s.rawOffset + s.rawSize)
            rva = static_cast<uint32_t>(verify->fileOffset - s.rawOffset + s.virtualAddress);
    }
    Bytes entry(8);
    plcore::WriteLe32(entry.data(), rva);
    plcore::WriteLe32(entry.data() + 4, 8);
    auto data = std::search(shortResource.begin(), shortResource.end(), entry.begin(), entry.end());
    ASSERT_NE(data, shortResource.end());
    *(data + 4) = 4;
    WriteAll(m_dir / "four-bytes.exe", shortResource);
    ExpectRefused(m_dir / "four-bytes.exe", "Resource _PLN_VERIFY is not found.");
}

TEST_F(SelfVerificationTest, FileOverOneMebibyteIsVerifiedFromItsHead)
{
    Bytes noise(3 * 1048576 + 5);
    std::mt19937 random(7);
    for (uint8_t& b : noise)
        b = static_cast<uint8_t>(random());
    WriteAll(m_dir / "payload" / "product" / "data.bin", noise);
    const fs::path setup = Pack("big.exe");
    const Bytes whole = ReadAll(setup);
    ASSERT_GT(whole.size(), 3u * 1048576);
    EXPECT_EQ(QuietRun(setup), 0u);

    const fs::path shorter = m_dir / "big-shorter.exe";
    WriteAll(shorter, Bytes(whole.begin(), whole.end() - 1));
    ExpectRefused(shorter, SizeMessage(whole.size(), whole.size() - 1));
}

TEST_F(SelfVerificationTest, CultureSetBySfxpackSpeaksTheMessage)
{
    const Bytes whole = ReadAll(Pack("german.exe", "--culture de-DE"));
    const fs::path shorter = m_dir / "german-shorter.exe";
    WriteAll(shorter, Bytes(whole.begin(), whole.end() - 1));
    ExpectRefused(shorter, "Die Setup-Datei ist besch\u00e4digt. Wenn Sie diese Datei aus dem "
                           "Internet heruntergeladen haben, laden Sie sie bitte erneut herunter."
                           "\n\nErwartete Dateigr\u00f6\u00dfe: " +
                               std::to_string(whole.size()) +
                               "\nTats\u00e4chliche Dateigr\u00f6\u00dfe: " +
                               std::to_string(whole.size() - 1) + ".");
}

} // namespace
