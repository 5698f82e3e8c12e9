#include "plcore/win32/EasyVersionRes.h"
#include "tests/fixtures/PeBuilder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace plcore;
using pltest::TextValue;

namespace
{

class EasyVersionResTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        for (const std::wstring& f : m_files)
            ::DeleteFileW(f.c_str());
    }
    // A module file whose version resource is `block` (none when empty).
    std::wstring Module(const pltest::Bytes& block)
    {
        std::vector<pltest::PeResource> resources = {{10, u"_PLN_VERIFY", 0, pltest::Bytes(8, 0)}};
        if (!block.empty())
            resources.push_back({16, u"", 1, block});
        const pltest::Bytes image = pltest::BuildPeImage(resources);
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        const std::wstring path = std::wstring(temp) + L"version-" +
                                  std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                  std::to_wstring(m_files.size()) + L".exe";
        std::ofstream(std::filesystem::path(path), std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()), image.size());
        m_files.push_back(path);
        return path;
    }

    std::vector<std::wstring> m_files;
};

TEST_F(EasyVersionResTest, LanguageZeroCodePage1252FindsTheLowerCaseTable)
{
    CEasyVersionRes version;
    ASSERT_TRUE(
        version.Load(Module(pltest::BuildVersionBlock(0x000004E4, u"000004e4",
                                                      {TextValue(u"PL_Culture", u"de-DE"),
                                                       TextValue(u"PL_StubVersion", u"1.1.0.53")}))
                         .c_str()));
    EXPECT_NE(version.m_pVersionInfo, nullptr);
    EXPECT_GT(version.m_dwVersionInfoSize, 0u);
    EXPECT_EQ(version.GetTranslation(), 0x000004E4u);
    ASSERT_NE(version.GetCulture(), nullptr);
    EXPECT_STREQ(version.GetCulture(), L"de-DE");
    ASSERT_NE(version.QueryString(0x000004E4, L"PL_StubVersion"), nullptr);
    EXPECT_STREQ(version.QueryString(0x000004E4, L"PL_StubVersion"), L"1.1.0.53");
    EXPECT_EQ(version.QueryString(0x000004E4, L"Missing"), nullptr);
    EXPECT_EQ(version.QueryString(0x040904B0, L"PL_Culture"), nullptr);
}

TEST_F(EasyVersionResTest, NoTranslationEntryMeansNoCulture)
{
    CEasyVersionRes version;
    ASSERT_TRUE(
        version.Load(Module(pltest::BuildVersionBlock(0, u"040904B0",
                                                      {TextValue(u"PL_Culture", u"de-DE")}, false))
                         .c_str()));
    EXPECT_EQ(version.GetTranslation(), 0u);
    EXPECT_EQ(version.GetCulture(), nullptr);
}

TEST_F(EasyVersionResTest, TranslationWithoutItsTableMeansNoCulture)
{
    CEasyVersionRes version;
    ASSERT_TRUE(version.Load(Module(pltest::BuildVersionBlock(0x040704B0, u"040904B0",
                                                              {TextValue(u"PL_Culture", u"en-US")}))
                                 .c_str()));
    EXPECT_EQ(version.GetTranslation(), 0x040704B0u);
    EXPECT_EQ(version.GetCulture(), nullptr);
}

TEST_F(EasyVersionResTest, LoadingAgainReleasesTheFirstBlock)
{
    CEasyVersionRes version;
    EXPECT_EQ(version.GetTranslation(), 0u);
    EXPECT_EQ(version.GetCulture(), nullptr);
    ASSERT_TRUE(version.Load(Module(pltest::BuildVersionBlock(0x040904B0, u"040904B0",
                                                              {TextValue(u"PL_Culture", u"en-US")}))
                                 .c_str()));
    EXPECT_EQ(version.GetTranslation(), 0x040904B0u);
    EXPECT_FALSE(version.Load(Module({}).c_str()));
    EXPECT_EQ(version.m_pVersionInfo, nullptr);
    EXPECT_EQ(version.m_dwVersionInfoSize, 0u);
    EXPECT_EQ(version.m_dwTranslation, 0u);
    EXPECT_EQ(version.GetCulture(), nullptr);
    EXPECT_FALSE(version.Load(nullptr));
    EXPECT_FALSE(version.Load(L"C:\\does\\not\\exist.exe"));
}

TEST_F(EasyVersionResTest, TheBuiltStubCarriesItsCulture)
{
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::filesystem::path stub = std::filesystem::path(self).parent_path() / "stub.exe";
    if (!std::filesystem::exists(stub))
        GTEST_SKIP() << "stub.exe is not built";
    CEasyVersionRes version;
    ASSERT_TRUE(version.Load(stub.wstring().c_str()));
    ASSERT_NE(version.GetCulture(), nullptr);
    EXPECT_STREQ(version.GetCulture(), L"en-US");
    EXPECT_NE(version.QueryString(version.GetTranslation(), L"PL_StubVersion"), nullptr);
}

} // namespace
