// OS layer: 8-bit conversions, the file texts' code page and the path split.

#include "ExifJpegName.h"
#include "osal/PlAString.h"
#include "osal/PlPath.h"
#include "osal/PlPlatform.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace PlOSAL;

namespace
{

TEST(PlAString, PlainAsciiCodePageAndEmptyText)
{
    const PlAString ascii(u"\u00c41", kCodePageAscii);
    EXPECT_STREQ("\x3F\x31", ascii.GetText());
    const PlAString empty(u"", kCodePageAscii);
    EXPECT_FALSE(empty.HasText());
    EXPECT_STREQ("", empty.GetText());
    const PlAString utf8(u"\u00e9", 65001);
    EXPECT_STREQ("\xC3\xA9", utf8.GetText());
    const PlAString latin(u"\u00e9\u20ac", 1252);
    EXPECT_STREQ("\xE9\x80", latin.GetText());
}

TEST(PlString, WideTextsAndFileTexts)
{
    EXPECT_EQ(u"Caf\u00e9", FromWide(L"Caf\u00e9"));
    EXPECT_EQ(u"", FromWide(nullptr));
    EXPECT_EQ(u"\xD83D\xDE00", FromUtf8("\xF0\x9F\x98\x80", 4));
    EXPECT_EQ("\xF0\x9F\x98\x80", ToUtf8(u"\xD83D\xDE00"));
    EXPECT_EQ(u"\xFFFD", FromUtf8("\xC3", 1));
#ifndef _WIN32
    // Camera texts: UTF-8 where valid, Windows-1252 otherwise.
    const uint8_t utf8[] = {'C', 'a', 'f', 0xC3, 0xA9};
    const uint8_t cp1252[] = {'C', 'a', 'f', 0xE9, 0x80};
    EXPECT_EQ(u"Caf\u00e9", FromAnsi(utf8, sizeof utf8));
    EXPECT_EQ(u"Caf\u00e9\u20ac", FromAnsi(cp1252, sizeof cp1252));
    // A code point beyond the BMP becomes a surrogate pair, as it is on Windows.
    const wchar_t wide[] = {0x1F600, 0};
    EXPECT_EQ(u"\xD83D\xDE00", FromWide(wide));
#endif
}

struct SPathCase
{
    const char16_t* path;
    const char16_t* drive;
    const char16_t* dir;
    const char16_t* name;
    const char16_t* ext;
};

TEST(PlPath, SplitsLocalUncAndUrlPaths)
{
    const SPathCase cases[] = {
        {u"C:\\Bilder\\a.b\\IMG_0001.JPG", u"C:", u"\\Bilder\\a.b\\", u"IMG_0001", u".JPG"},
        {u"IMG_0001", u"", u"", u"IMG_0001", u""},
        {u"/home/u/x.jpeg", u"", u"/home/u/", u"x", u".jpeg"},
        {u"\\\\server\\share\\pics\\x.jpeg", u"\\\\server\\share", u"\\pics\\", u"x", u".jpeg"},
        {u"\\\\server\\share", u"\\\\server\\share", u"\\", u"", u""},
        {u"\\\\server", u"\\\\server", u"", u"", u""},
        {u"http://host/a.b/pic.jpg", u"http://host", u"/a.b/", u"pic", u".jpg"},
        {u"http://host.example", u"http://host.example", u"", u"", u""},
        {u"", u"", u"", u"", u""},
    };
    for (const SPathCase& tc : cases)
    {
        const PlPath path{PlWString(tc.path)};
        SCOPED_TRACE(ToUtf8(tc.path));
        EXPECT_EQ(tc.drive, path.GetDrive());
        EXPECT_EQ(tc.dir, path.GetDir());
        EXPECT_EQ(tc.name, path.GetName());
        EXPECT_EQ(tc.ext, path.GetExt());
        EXPECT_EQ(PlWString(tc.drive) + tc.dir + tc.name + tc.ext, path.GetPath());
    }
    // A folder part longer than 255 characters leaves every part empty.
    const PlPath longFolder(u"C:\\" + PlWString(256, u'a') + u"\\x.jpg");
    EXPECT_EQ(u"", longFolder.GetExt());
    EXPECT_FALSE(PlExif::IsJpegFileName(longFolder.GetPath()));
    EXPECT_FALSE(PlExif::IsJpegFileName(u"C:\\" + PlWString(256, u'a') + u"\\x.jpg"));
}

TEST(PlPath, JpegExtensionsIgnoringCase)
{
    for (const char16_t* name : {u"photo.JPG", u"a.jpeg", u"b.Jpe", u"c.JFIF", u"d\\e.f.jpg"})
        EXPECT_TRUE(PlExif::IsJpegFileName(name)) << ToUtf8(name);
    for (const char16_t* name : {u"photo.tif", u"jpg", u"x.jpg.bak", u"", u"x.jpgx"})
        EXPECT_FALSE(PlExif::IsJpegFileName(name)) << ToUtf8(name);
}

} // namespace

namespace
{

TEST(PlTextStorage, TextsOfEverySizeFromManyThreads)
{
    // Sizes on both sides of the pools' 64, 128, 256 and 512 characters and beyond them.
    const size_t sizes[] = {1, 63, 64, 65, 127, 128, 255, 256, 511, 512, 513, 5000};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
    {
        threads.emplace_back(
            [&sizes, t]
            {
                for (int round = 0; round < 200; ++round)
                {
                    std::vector<PlWString> texts;
                    for (size_t size : sizes)
                        texts.emplace_back(size, static_cast<char16_t>(u'a' + t));
                    for (size_t i = 0; i < texts.size(); ++i)
                    {
                        ASSERT_EQ(sizes[i], texts[i].size());
                        ASSERT_EQ(static_cast<char16_t>(u'a' + t), texts[i].back());
                    }
                }
            });
    }
    for (auto& thread : threads)
        thread.join();
}

} // namespace
