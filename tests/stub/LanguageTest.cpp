// The language table, the current language and the string catalogue in all 27 blocks.
#include "stub/app/App.h"
#include "stub/i18n/LanguageTable.h"
#include "stub/i18n/LocalizedString.h"

#include <gtest/gtest.h>

#include <map>

namespace
{

TEST(LanguageTable, LooksUpCodesIgnoringCase)
{
    EXPECT_EQ(stub::GetLanguageBlockBase(L"DE-de"), 4000);
    EXPECT_EQ(stub::GetLanguageBlockBase(L"en-II"), 0);
    EXPECT_EQ(stub::GetLanguageBlockBase(L"en-ii"), 0);
    EXPECT_EQ(stub::GetLanguageBlockBase(L"hu-hu"), 25000);
    EXPECT_EQ(stub::GetLanguageBlockBase(L"es-US"), 26000);
    EXPECT_EQ(stub::GetLanguageBlockBase(L"de"), -1);
    EXPECT_EQ(stub::GetLanguageBlockBase(L""), -1);
    EXPECT_EQ(stub::GetLanguageDisplayName(L"ZH-CN"), L"\u4E2D\u6587(\u7B80\u4F53)");
    EXPECT_EQ(stub::GetLanguageDisplayName(L"de"), L"");
    // The Russian name starts with a Latin P.
    EXPECT_EQ(stub::GetLanguageDisplayName(L"ru-ru")[0], L'P');
    EXPECT_EQ(stub::GetLanguageDisplayName(L"ru-ru")[1], L'\u0443');
}

TEST(CurrentLanguage, KeepsTheCultureAsPassed)
{
    CApp app;
    EXPECT_EQ(app.m_nLanguageBase, 1000);
    app.SetLanguageFromCulture(L"de-DE");
    EXPECT_EQ(app.m_nLanguageBase, 4000);
    EXPECT_EQ(app.m_strCulture, L"de-DE");
    app.SetLanguageFromCulture(L"de"); // unknown: nothing changes
    EXPECT_EQ(app.m_nLanguageBase, 4000);
    EXPECT_EQ(app.m_strCulture, L"de-DE");
}

TEST(LocalizedString, FollowsTheLanguageAtLoadingTime)
{
    CApp app;
    const std::wstring english = stub::LoadLocalizedString(stub::IDS_STARTING_INSTALLATION);
    EXPECT_EQ(english, L"Starting installation...");
    app.SetLanguageFromCulture(L"de-DE");
    const std::wstring german = stub::LoadLocalizedString(stub::IDS_STARTING_INSTALLATION);
    EXPECT_EQ(german, stub::LoadStringById(4159));
    EXPECT_NE(german, english);
    EXPECT_EQ(english, L"Starting installation..."); // a text loaded earlier stays as it was
    EXPECT_EQ(stub::LoadLocalizedString(150), L"");  // no such entry
}

TEST(LocalizedString, EnglishBlocksHoldTheCatalogueTexts)
{
    const std::map<unsigned, std::wstring> english = {
        {129, L"Cancel"},
        {131, L"%d %% Extracting..."},
        {134, L"Choose a location with enough space to temporary store the installation files "
              L"(%s)."},
        {156, L"An internal error occured during extraction of the setup files."},
        {158, L"Usage: setup.exe [parameter]\n\nParameter:\n/? show help\n/x [folderpath] If "
              L"folderpath was set, files will be extracted to. If it was not set, files will be "
              L"extracted to current folder."},
        {162, L"Expected file size: %I64d\nActual file size: %I64d."},
        {165, L"Please select the language that you would like to use during the installation."},
    };
    for (const auto& [id, text] : english)
    {
        EXPECT_EQ(stub::LoadStringById(id), text) << id;
        EXPECT_EQ(stub::LoadStringById(1000 + id), text) << id;
    }
}

// Every block has every text, with the same printf conversions as English.
TEST(LocalizedString, EveryBlockIsComplete)
{
    const unsigned ids[] = {129, 130, 131, 132, 133, 134, 135, 136, 137, 138, 139, 140,
                            155, 156, 157, 158, 159, 160, 161, 162, 163, 164, 165};
    auto conversions = [](const std::wstring& text)
    {
        std::wstring found;
        for (size_t i = 0; i + 1 < text.size(); ++i)
            if (text[i] == L'%')
            {
                size_t end = text.compare(i, 5, L"%I64d") == 0 ? i + 5 : i + 2;
                found += text.substr(i, end - i) + L' ';
                i = end - 1;
            }
        return found;
    };
    size_t count = 0;
    const stub::SLanguage* languages = stub::GetLanguages(count);
    ASSERT_EQ(count, 27u);
    for (size_t i = 0; i < count; ++i)
        for (unsigned id : ids)
        {
            const std::wstring text = stub::LoadStringById(languages[i].nBlockBase + id);
            EXPECT_FALSE(text.empty()) << languages[i].nBlockBase + id;
            EXPECT_EQ(conversions(text), conversions(stub::LoadStringById(id)))
                << languages[i].nBlockBase + id;
        }
}

} // namespace
