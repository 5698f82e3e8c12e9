// Tag table, display texts and formatters: value texts in English and German, the camera rule,
// comments, patterns from the text table and the date display.

#include "ExifFormat.h"
#include "ExifTestSupport.h"
#include "osal/PlDatePicture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <set>

using namespace PlExifTest;

namespace
{

void SetRationals(CExifTag& tag, std::vector<unsigned long> pairs)
{
    ASSERT_EQ(eOk, tag.SetRationals(pairs.data(), pairs.size() / 2));
}

struct SValueCase
{
    const char* name;
    uint16_t language;
    EExifTagId id;
    std::vector<long> value; // rational pairs, shorts, bytes or (as chars) an ASCII text
    const char* make;
    const char* model;
    const char* expected;
};

class ExifFormatValue : public testing::TestWithParam<SValueCase>
{
};

TEST_P(ExifFormatValue, GivesTheDisplayText)
{
    const SValueCase& p = GetParam();
    CLanguageScope language(p.language);
    auto c = NewContext();
    if (p.make != nullptr)
        Tag(*c, eTagMake)->SetString(PlOSAL::ToWide(PlOSAL::FromAscii(p.make)).c_str());
    if (p.model != nullptr)
        Tag(*c, eTagModel)->SetString(PlOSAL::ToWide(PlOSAL::FromAscii(p.model)).c_str());
    CExifTag& tag = *Tag(*c, p.id);
    switch (tag.m_nType)
    {
    case eTypeRational:
        SetRationals(tag, std::vector<unsigned long>(p.value.begin(), p.value.end()));
        break;
    case eTypeSRational:
        ASSERT_EQ(eOk, tag.SetSRationals(p.value.data(), p.value.size() / 2));
        break;
    case eTypeShort:
    {
        std::vector<unsigned short> shorts(p.value.begin(), p.value.end());
        ASSERT_EQ(eOk, tag.SetShorts(shorts.data(), shorts.size()));
        break;
    }
    case eTypeByte:
    {
        std::vector<unsigned char> bytes(p.value.begin(), p.value.end());
        ASSERT_EQ(eOk, tag.SetBytes(bytes.data(), bytes.size()));
        break;
    }
    case eTypeAscii:
    {
        std::wstring text(p.value.begin(), p.value.end());
        ASSERT_EQ(eOk, tag.SetString(text.c_str()));
        break;
    }
    default:
        FAIL() << "no setter for this case";
    }
    IPlExifString* text = nullptr;
    ASSERT_EQ(eOk, tag.GetValueText(text));
    wchar_t buffer[64] = {};
    text->GetString(buffer, 63);
    text->Release();
    EXPECT_EQ(p.expected, Utf8(PlOSAL::FromWide(buffer)));
}

std::vector<long> Chars(const char* s)
{
    return std::vector<long>(s, s + std::strlen(s));
}

constexpr uint16_t EN = kLangEnglishUK;
constexpr uint16_t DE = kLangGerman;

INSTANTIATE_TEST_SUITE_P(
    Cases, ExifFormatValue,
    testing::Values(
        SValueCase{"Exposure1_250", EN, eTagExposureTime, {1, 250}, nullptr, nullptr, "1/250 sec"},
        SValueCase{
            "Exposure1_60German", DE, eTagExposureTime, {1, 60}, nullptr, nullptr, "1/60 Sek."},
        SValueCase{
            "Exposure1_60English", EN, eTagExposureTime, {1, 60}, nullptr, nullptr, "1/60 sec"},
        SValueCase{"Exposure5_2", EN, eTagExposureTime, {5, 2}, nullptr, nullptr, "2 sec"},
        SValueCase{"Exposure5_2German", DE, eTagExposureTime, {5, 2}, nullptr, nullptr, "2 Sek"},
        SValueCase{
            "ShutterSpeed8", EN, eTagShutterSpeedValue, {8, 1}, nullptr, nullptr, "1/256 sec"},
        SValueCase{"Aperture4", EN, eTagApertureValue, {4, 1}, nullptr, nullptr, "f/4.0"},
        SValueCase{"FNumber28_10", EN, eTagFNumber, {28, 10}, nullptr, nullptr, "f/2.8"},
        SValueCase{"FocalLengthMinoltaDimage7",
                   EN,
                   eTagFocalLength,
                   {71, 10},
                   "Minolta Co., Ltd.",
                   "DiMAGE 7i",
                   "27mm (35mm equiv)"},
        SValueCase{"FocalLengthMinoltaDimage5",
                   EN,
                   eTagFocalLength,
                   {10, 1},
                   "Minolta",
                   "DiMAGE 5",
                   "49mm (35mm equiv)"},
        SValueCase{
            "FocalLengthOtherCamera", EN, eTagFocalLength, {71, 10}, "Minolt", "DiMAGE 7", "7.1mm"},
        SValueCase{"FocalLengthMinoltaOtherModel",
                   DE,
                   eTagFocalLength,
                   {71, 10},
                   "Minolta",
                   "DiMAGE",
                   "7.1mm"},
        SValueCase{"FocalLength35",
                   EN,
                   eTagFocalLengthIn35mmFilm,
                   {50},
                   nullptr,
                   nullptr,
                   "50mm (35mm equiv)"},
        SValueCase{"GpsLatitude",
                   EN,
                   eTagGPSLatitude,
                   {48, 1, 8, 1, 3130, 100},
                   nullptr,
                   nullptr,
                   "48 8 31.30"},
        SValueCase{"GpsLatitudeTooShort", EN, eTagGPSLatitude, {48, 1}, nullptr, nullptr, ""},
        SValueCase{"GpsVersion", EN, eTagGPSVersionID, {2, 2, 0, 0}, nullptr, nullptr, "2.2.0.0"},
        SValueCase{"GpsVersionTooShort", EN, eTagGPSVersionID, {2, 2}, nullptr, nullptr, ""},
        SValueCase{"ColorSpaceUncalibrated",
                   EN,
                   eTagColorSpace,
                   {0xFFFF},
                   nullptr,
                   nullptr,
                   "Uncalibrated"},
        SValueCase{"ColorSpaceUnknown", EN, eTagColorSpace, {2}, nullptr, nullptr, "Unknown"},
        SValueCase{
            "ColorSpaceUnknownGerman", DE, eTagColorSpace, {2}, nullptr, nullptr, "Unbekannt"},
        SValueCase{"LatitudeRefLowerCase", EN, eTagGPSLatitudeRef, Chars("n"), nullptr, nullptr,
                   "Unknown"},
        SValueCase{"LatitudeRefSouth", EN, eTagGPSLatitudeRef, Chars("S"), nullptr, nullptr, "S"},
        SValueCase{"LongitudeRefEastGerman", DE, eTagGPSLongitudeRef, Chars("E"), nullptr, nullptr,
                   "O"},
        SValueCase{"OrientationRightTop", EN, eTagOrientation, {6}, nullptr, nullptr, "Right-top"},
        SValueCase{
            "OrientationBottomLeft", DE, eTagOrientation, {4}, nullptr, nullptr, "Unten-links"},
        SValueCase{"YCbCrMarkedGerman",
                   DE,
                   eTagYCbCrPositioning,
                   {1},
                   nullptr,
                   nullptr,
                   "<translate>Centered"},
        SValueCase{"FlashReturnDetected",
                   EN,
                   eTagFlash,
                   {7},
                   nullptr,
                   nullptr,
                   "Strobe return light detected."},
        SValueCase{"LightSourceOther", EN, eTagLightSource, {255}, nullptr, nullptr, "Other"},
        SValueCase{
            "ExposureProgramManual", DE, eTagExposureProgram, {1}, nullptr, nullptr, "Manuell"},
        SValueCase{"ResolutionUnitInches", EN, eTagResolutionUnit, {2}, nullptr, nullptr, "inches"},
        SValueCase{"Resolution", EN, eTagXResolution, {72, 1}, nullptr, nullptr, "72.00"},
        SValueCase{"RationalDividedByZero", EN, eTagXResolution, {72, 0}, nullptr, nullptr, ""},
        SValueCase{"Brightness", EN, eTagBrightnessValue, {-3, 2}, nullptr, nullptr, "-1.50"},
        SValueCase{"Iso", EN, eTagISOSpeedRatings, {400}, nullptr, nullptr, "400"},
        SValueCase{"AltitudeRef", EN, eTagGPSAltitudeRef, {1}, nullptr, nullptr, "1"},
        SValueCase{"SubSecondsAsTheyStand", EN, eTagSubSecTime, Chars("50"), nullptr, nullptr,
                   "50"},
        SValueCase{"Text", EN, eTagArtist, Chars("Jane Roe"), nullptr, nullptr, "Jane Roe"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExifFormat, FailuresOfTheFormatters)
{
    auto c = NewContext();
    EError result = eOk;
    // A rational without value shows nothing; a text without value has none to show.
    EXPECT_EQ("", ValueText(*Tag(*c, eTagXResolution), &result));
    EXPECT_EQ(eOk, result);
    ValueText(*Tag(*c, eTagMake), &result);
    EXPECT_EQ(eErrNoValue, result);
    IPlExifString* text = nullptr;
    EXPECT_EQ(eErrNoValue, Tag(*c, eTagMake)->GetValueText(text));
    EXPECT_EQ(eErrNoValue, Tag(*c, eTagMake)->GetString(text));
    EXPECT_EQ(eErrNoValue, Tag(*c, eTagOrientation)->GetValueText(text));

    CExifTag* exposure = Tag(*c, eTagExposureTime);
    SetRationals(*exposure, {1, 0});
    EXPECT_EQ(eErrFailed, exposure->GetValueText(text));
    CExifTag* fnumber = Tag(*c, eTagFNumber);
    SetRationals(*fnumber, {1, 0});
    EXPECT_EQ(eErrFailed, fnumber->GetValueText(text));

    // A tag the table does not know has no name and no formatter.
    CExifTag plain(eTypeShort, 0xA405, c.get(), eIfdExif, 0, nullptr);
    EXPECT_EQ(eErrFailed, plain.GetValueText(text));
    EXPECT_EQ(eErrFailed, plain.GetDisplayName(text));
}

TEST(ExifFormat, UserCommentCharacterCodes)
{
    struct SCase
    {
        const char* name;
        std::vector<uint8_t> value;
        bool bigEndian;
        const char* expected;
    };
    const SCase cases[] = {
        {"AsciiUpToNul", {'A', 'S', 'C', 'I', 'I', 0, 0, 0, 'H', 'e', 'y', 0, 'x'}, false, "Hey"},
        {"UnicodeHighByteFirst",
         {'U', 'N', 'I', 'C', 'O', 'D', 'E', 0, 0, 'H', 0, 'i'},
         false,
         "Hi"},
        {"UnicodeLittleEndianAsWritten",
         {'U', 'N', 'I', 'C', 'O', 'D', 'E', 0, 'H', 0, 'i', 0, 0, 0},
         true,
         "Hi"},
        {"UnicodeTieFollowsTheFile",
         {'U', 'N', 'I', 'C', 'O', 'D', 'E', 0, 0x30, 0xC6},
         true,
         "\xE3\x83\x86"},
        {"Jis", {'J', 'I', 'S', 0, 0, 0, 0, 0, 1, 2}, false, "Comment not readable"},
        {"Undefined", {0, 0, 0, 0, 0, 0, 0, 0, 'x'}, false, "Comment not readable"},
        {"TooShort", {'A', 'S', 'C'}, false, "Comment not readable"},
    };
    CLanguageScope language(kLangEnglishUK);
    for (const SCase& tc : cases)
    {
        SCOPED_TRACE(tc.name);
        auto c = NewContext(tc.bigEndian);
        CExifTag* comment = Tag(*c, eTagUserComment);
        ASSERT_EQ(eOk, comment->SetUndefined(tc.value.data(), tc.value.size()));
        EXPECT_EQ(tc.expected, ValueText(*comment));
    }
    // The setter's own comment reads back as it was given.
    auto c = NewContext();
    CExifTag* comment = Tag(*c, eTagUserComment);
    ASSERT_EQ(eOk, comment->SetString(L"Hi"));
    EXPECT_EQ("Hi", ValueText(*comment));
}

TEST(ExifFormat, PatternsFromTheTextTableTakeOneNumber)
{
    EXPECT_EQ("1/60 sec", Utf8(ApplyIntPattern(u"1/%d sec", 60)));
    EXPECT_EQ("7.1mm", Utf8(ApplyDoublePattern(u"%.1lfmm", 7.1)));
    EXPECT_EQ("100% f/2.8", Utf8(ApplyDoublePattern(u"100%% f/%.01f", 2.8)));
    EXPECT_EQ("\xC3\xA9 5", Utf8(ApplyIntPattern(u"\u00e9 %i", 5)));
    // Anything but exactly one conversion of the expected kind is not handed to printf.
    EXPECT_EQ("", Utf8(ApplyIntPattern(u"%s sec", 60)));
    EXPECT_EQ("", Utf8(ApplyIntPattern(u"%d/%d", 60)));
    EXPECT_EQ("", Utf8(ApplyIntPattern(u"%.1f", 60)));
    EXPECT_EQ("", Utf8(ApplyDoublePattern(u"%d", 1.5)));
    EXPECT_EQ("", Utf8(ApplyIntPattern(u"no number", 1)));
    EXPECT_EQ("", Utf8(ApplyIntPattern(u"%n", 1)));
}

TEST(ExifTagTable, RowsAndLookupByDirectory)
{
    std::set<std::pair<uint32_t, uint32_t>> keys;
    for (uint32_t id = 0; id < kTagIdCount; ++id)
    {
        const SExifTagDef* row = GetRow(id);
        ASSERT_NE(nullptr, row);
        EXPECT_EQ(id, row->id);
        EXPECT_TRUE(keys.emplace(row->ifd, row->tag).second) << "row " << id;
        EXPECT_EQ(row, FindRow(row->ifd, row->tag));
    }
    EXPECT_EQ(nullptr, GetRow(86));
    EXPECT_EQ(eTagGPSLatitudeRef, static_cast<int>(FindRow(eIfdGps, 0x0001)->id));
    EXPECT_EQ(eTagInteroperabilityIndex, static_cast<int>(FindRow(eIfdInterop, 0x0001)->id));
    EXPECT_EQ(eTagFocalLengthIn35mmFilm, static_cast<int>(FindRow(eIfd0, 0xA405)->id));
    EXPECT_EQ(nullptr, FindRow(eIfdExif, 0xA405));
    EXPECT_EQ(nullptr, FindRow(eIfd1, 0x0100));
}

TEST(ExifText, EveryIdInEveryLanguage)
{
    const uint16_t languages[] = {kLangEnglishUK, kLangGerman,  kLangSpanish,
                                  kLangFrench,    kLangItalian, kLangDutch};
    for (uint16_t language : languages)
    {
        for (uint32_t id = 101; id <= 254; ++id)
        {
            PlOSAL::PlWString text;
            EXPECT_TRUE(LookupText(language, id, text)) << language << " " << id;
        }
        PlOSAL::PlWString none;
        EXPECT_FALSE(LookupText(language, 255, none));
    }
}

TEST(ExifText, QuotedTextsAndFallbacks)
{
    struct SCase
    {
        uint16_t language;
        uint32_t id;
        const char* expected;
    };
    const SCase cases[] = {
        {kLangEnglishUK, 101, "d MMM yyyy'  '"},
        {kLangGerman, 101, "dddd','d'.'MMMM yyyy','"},
        {kLangGerman, 119, "Belichtungszeit (sec.)"},
        {kLangGerman, 112,
         "Thumbnailgr\xC3\xB6\xC3\x9F"
         "e"},
        {kLangGerman, 242, "<translate>One-chip color area sensor"},
        {kLangEnglishUK, 141, "Creation time  (digital)"},
        {kLangSpanish, 232, " ,sin retorno de luz de flash"},
        {kLangFrench, 210, "O"},
        {kLangDutch, 194, "onbekend"},
        // A sublanguage without a table of its own: its primary language.
        {0x0807, 194, "Unbekannt"},
        {0x0C0A, 194, "desconocido"},
        // A language the library does not have: English.
        {0x0411, 194, "Unknown"},
    };
    for (const SCase& tc : cases)
    {
        CLanguageScope language(tc.language);
        EXPECT_EQ(tc.expected, Utf8(LoadTextOrEmpty(tc.id))) << tc.language << " " << tc.id;
    }
    PlOSAL::PlWString kept = u"kept";
    EXPECT_FALSE(LoadText(300, kept));
    EXPECT_EQ(u"kept", kept);
}

#ifndef _WIN32
TEST(ExifText, LanguageZeroFollowsTheUsersLocale)
{
    const char* old = std::getenv("LC_ALL");
    const std::string saved = old ? old : "";
    CLanguageScope language(0);
    setenv("LC_ALL", "de_CH.UTF-8", 1);
    EXPECT_EQ("Unbekannt", Utf8(LoadTextOrEmpty(194)));
    setenv("LC_ALL", "nl_NL", 1);
    EXPECT_EQ("onbekend", Utf8(LoadTextOrEmpty(194)));
    setenv("LC_ALL", "ja_JP.UTF-8", 1);
    EXPECT_EQ("Unknown", Utf8(LoadTextOrEmpty(194)));
    if (old)
        setenv("LC_ALL", saved.c_str(), 1);
    else
        unsetenv("LC_ALL");
}
#endif

TEST(ExifDatePicture, ElementsLiteralsAndRoom)
{
    PlOSAL::SPlDateTime when;
    when.wYear = 2010;
    when.wMonth = 9;
    when.wDay = 7;
    when.wHour = 20;
    when.wMinute = 5;
    when.wSecond = 3;
    const PlOSAL::SPlLocaleNames& names = PlOSAL::CLocaleNames();
    struct SCase
    {
        bool date;
        const char16_t* pattern;
        size_t room;
        const char* expected;
    };
    const SCase cases[] = {
        {true, u"d MMM yyyy'  '", 30, "7 Sep 2010  "},
        {true, u"dddd','d'.'MMMM yyyy','", 255, "Tuesday,7.September 2010,"},
        {true, u"dd'/'MM'/'yy ddd", 30, "07/09/10 Tue"},
        {true, u"'It''s' d", 30, "It's 7"},
        {false, u"hh':'mmtt", 9, "08:05PM"},
        {false, u"HH':'mm':'ss", 9, "20:05:03"},
        {false, u"h:m:s t", 30, "8:5:3 P"},
        // The text and its terminator must fit the room.
        {false, u"HH':'mm':'ss", 8, ""},
        {true, u"dddd','d'.'MMMM yyyy','", 25, ""},
    };
    for (const SCase& tc : cases)
    {
        PlOSAL::PlWString out = u"x";
        const bool ok = tc.date ? FormatDatePicture(when, tc.pattern, names, tc.room, out)
                                : FormatTimePicture(when, tc.pattern, names, tc.room, out);
        EXPECT_EQ(tc.expected, Utf8(out)) << Utf8(tc.pattern);
        EXPECT_EQ(*tc.expected != 0, ok);
    }
    PlOSAL::SPlDateTime invalid = when;
    invalid.wMonth = 13;
    PlOSAL::PlWString out;
    EXPECT_FALSE(FormatDatePicture(invalid, u"d", names, 30, out));
    invalid = when;
    invalid.wDay = 31;
    EXPECT_FALSE(FormatDatePicture(invalid, u"d", names, 30, out));
    invalid.wYear = 2012;
    invalid.wMonth = 2;
    invalid.wDay = 29;
    EXPECT_TRUE(FormatDatePicture(invalid, u"dddd", names, 30, out));
    EXPECT_EQ("Wednesday", Utf8(out));
}

TEST(ExifFormat, DateTimeInTheUsersLocale)
{
    CLanguageScope language(kLangEnglishUK);
    auto c = NewContext();
    CExifTag* taken = Tag(*c, eTagDateTimeOriginal);
    ASSERT_EQ(eOk, taken->SetString(L"2010:09:17 08:11:07"));
    const std::string text = ValueText(*taken);
    // Names and digits come from the platform's locale; the parts are there in pattern order.
    EXPECT_NE(std::string::npos, text.find("2010")) << text;
    EXPECT_NE(std::string::npos, text.find("08:11")) << text;
    EXPECT_LT(text.find("2010"), text.find("08:11")) << text;
    IPlExifString* string = nullptr;
    ASSERT_EQ(eOk, taken->GetString(string));
    EXPECT_EQ(static_cast<long>(PlOSAL::FromUtf8(text).size()), string->GetLength());
    string->Release();

    // The fixed patterns of the sub-second rows, for a value that holds a whole date.
    CExifTag* subSeconds = Tag(*c, eTagSubSecTimeOriginal);
    ASSERT_EQ(eOk, subSeconds->SetString(L"2010:09:17 08:11:07"));
    const std::string fixed = ValueText(*subSeconds);
    const size_t day = fixed.find(",17.");
    ASSERT_NE(std::string::npos, day) << fixed;
    EXPECT_GT(day, 0u) << fixed; // the day's name
    const std::string tail = " 2010,08:11:07";
    ASSERT_GE(fixed.size(), tail.size());
    EXPECT_EQ(tail, fixed.substr(fixed.size() - tail.size())) << fixed;

    // A value that is no date shows no date part.
    CExifTag* changed = Tag(*c, eTagDateTime);
    ASSERT_EQ(eOk, changed->SetString(L"0000:00:00 00:00:00"));
    EXPECT_EQ(std::string::npos, ValueText(*changed).find("0000"));
}

TEST(ExifFormat, ArbitraryValuesAreReadWithinTheirBytes)
{
    // Every row with every small count of random bytes, each value the last bytes of its APP1
    // copy, so that a read beyond the value is a read beyond the block.
    std::mt19937 random(20100917);
    const uint16_t languages[] = {kLangEnglishUK, kLangGerman};
    for (uint32_t id = 0; id < kTagIdCount; ++id)
    {
        for (uint32_t count = 0; count <= 24; ++count)
        {
            const uint32_t size = count * ElementSize(GetRow(id)->type);
            std::vector<uint8_t> bytes(size);
            for (uint8_t& b : bytes)
                b = static_cast<uint8_t>(random() % 4 == 0 ? 0 : random());
            if (id == eTagUserComment && size >= 8)
                std::memcpy(bytes.data(), random() % 2 ? "UNICODE\0" : "ASCII\0\0\0", 8);
            auto c = NewContext(random() % 2 == 0, size);
            CExifTag* tag = size ? AddFileTag(*c, static_cast<EExifTagId>(id), GetRow(id)->type,
                                              count, 0, bytes)
                                 : Tag(*c, static_cast<EExifTagId>(id));
            CLanguageScope language(languages[count % 2]);
            IPlExifString* text = nullptr;
            if (tag->GetValueText(text) == eOk)
                text->Release();
            if (tag->GetString(text) == eOk)
                text->Release();
            PlExif::SYSTEMTIME st;
            tag->GetDateTime(st);
        }
    }
}

} // namespace
