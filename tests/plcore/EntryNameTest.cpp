#include "plcore/EntryName.h"

#include <gtest/gtest.h>

using namespace plcore;

namespace
{

TEST(EntryName, SafeNamesStayInsideTheFolder)
{
    for (const char16_t* name :
         {u"SetupInfo.ini", u"product/setup.exe", u"a\\b\\c.txt", u"folder/", u"...a", u"a..b",
          u"CONSOLE.txt", u"COM0", u"LPT10", u"nul_x", u"a//b", u"\u00e4\u00f6.txt"})
        EXPECT_TRUE(IsSafeEntryName(name)) << std::u16string(name).size();
}

TEST(EntryName, HostileNamesAreRefused)
{
    struct Case
    {
        const char16_t* name;
        const char* why;
    } cases[] = {
        {u"", "empty"},
        {u"/etc/passwd", "absolute"},
        {u"\\Windows\\x.dll", "leading separator"},
        {u"\\\\server\\share\\x", "UNC"},
        {u"C:\\x.exe", "drive"},
        {u"C:x.exe", "drive-relative"},
        {u"file.txt:stream", "alternate stream"},
        {u"../x", "parent"},
        {u"a/../../x", "parent inside"},
        {u"a\\..\\x", "parent with backslashes"},
        {u"..", "parent alone"},
        {u"a/./b", "dot component"},
        {u"name.", "trailing dot"},
        {u"name /x", "trailing blank"},
        {u"CON", "device"},
        {u"sub/nul.txt", "device with extension"},
        {u"Aux .log", "device with blank"},
        {u"com1", "serial port"},
        {u"LPT9.dat", "printer port"},
        {u"COM\u00b9", "serial port with a superscript digit"},
        {u"sub/lpt\u00b3.txt", "printer port with a superscript digit"},
        {u"conout$.txt", "console output"},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(IsSafeEntryName(c.name)) << c.why;
}

TEST(EntryName, DecodesStrictUtf8)
{
    std::u16string out;
    ASSERT_TRUE(DecodeUtf8("a\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80", out));
    EXPECT_EQ(out, u"a\u00e4\u20ac\U0001F600");
    for (const char* bad : {"\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF", "\x80"})
        EXPECT_FALSE(DecodeUtf8(bad, out)) << bad;
}

} // namespace
