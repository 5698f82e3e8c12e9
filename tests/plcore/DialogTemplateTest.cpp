// Replacing the font of dialog templates: the header and items survive, the font is the new one.
#include "plcore/DialogTemplate.h"

#include <gtest/gtest.h>

namespace
{

void Put16(std::vector<uint8_t>& t, uint16_t v)
{
    t.push_back(static_cast<uint8_t>(v));
    t.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& t, uint32_t v)
{
    Put16(t, static_cast<uint16_t>(v));
    Put16(t, static_cast<uint16_t>(v >> 16));
}
void PutSz(std::vector<uint8_t>& t, const std::u16string& s)
{
    for (char16_t c : s)
        Put16(t, c);
    Put16(t, 0);
}
void Align(std::vector<uint8_t>& t)
{
    while (t.size() % 4)
        t.push_back(0);
}
uint16_t Get16(const std::vector<uint8_t>& t, size_t at)
{
    return static_cast<uint16_t>(t[at] | (t[at + 1] << 8));
}

// An extended template as windres writes it: caption, font, then one item.
std::vector<uint8_t> ExtendedTemplate(bool withFont, const std::u16string& face)
{
    std::vector<uint8_t> t;
    Put16(t, 1);
    Put16(t, 0xFFFF);
    Put32(t, 0);                                   // help id
    Put32(t, 0);                                   // extended style
    Put32(t, 0x80C80000u | (withFont ? 0x40 : 0)); // style
    Put16(t, 1);                                   // one item
    for (uint16_t v : {0, 0, 249, 108})
        Put16(t, v);
    Put16(t, 0); // no menu
    Put16(t, 0); // default class
    PutSz(t, u"Setup Self-Extractor");
    if (withFont)
    {
        Put16(t, 8);
        Put16(t, 400);
        Put16(t, 0x0100); // not italic, charset 1
        PutSz(t, face);
    }
    Align(t);
    // The item: help id, styles, position, id, class ordinal (button), title, no creation data.
    Put32(t, 0);
    Put32(t, 0);
    Put32(t, 0x50010001);
    for (uint16_t v : {192, 87, 50, 14})
        Put16(t, v);
    Put32(t, 1);
    Put16(t, 0xFFFF);
    Put16(t, 0x0080);
    PutSz(t, u"OK");
    Put16(t, 0);
    return t;
}

TEST(ReplaceDialogFont, ReplacesTheFaceAndSizeOfAnExtendedTemplate)
{
    const auto original = ExtendedTemplate(true, u"MS Shell Dlg");
    const auto result = plcore::ReplaceDialogFont(original.data(), original.size(), u"Segoe UI", 9);
    ASSERT_TRUE(result);
    // Same bytes as a template written with the new font, point size patched.
    std::vector<uint8_t> want = ExtendedTemplate(true, u"Segoe UI");
    const size_t fontAt = 26 + 2 + 2 + (20 + 1) * 2;
    want[fontAt] = 9;
    EXPECT_EQ(*result, want);
    EXPECT_EQ(Get16(*result, fontAt + 2), 400); // weight kept
}

TEST(ReplaceDialogFont, AddsAFontToATemplateWithout)
{
    const auto original = ExtendedTemplate(false, u"");
    const auto result = plcore::ReplaceDialogFont(original.data(), original.size(), u"Tahoma", 8);
    ASSERT_TRUE(result);
    std::vector<uint8_t> want = ExtendedTemplate(true, u"Tahoma");
    const size_t fontAt = 26 + 2 + 2 + (20 + 1) * 2;
    want[fontAt + 2] = 0; // weight: the template had none
    want[fontAt + 3] = 0;
    EXPECT_EQ(*result, want);
}

TEST(ReplaceDialogFont, ClassicTemplateKeepsItsItems)
{
    std::vector<uint8_t> t;
    Put32(t, 0x80C80040u); // style with DS_SETFONT
    Put32(t, 0);
    Put16(t, 0); // no items
    for (uint16_t v : {0, 0, 100, 50})
        Put16(t, v);
    Put16(t, 0);
    Put16(t, 0);
    PutSz(t, u"T");
    Put16(t, 8);
    PutSz(t, u"MS Shell Dlg");
    const auto result = plcore::ReplaceDialogFont(t.data(), t.size(), u"A", 12);
    ASSERT_TRUE(result);
    const size_t fontAt = 18 + 2 + 2 + 4;
    EXPECT_EQ(Get16(*result, fontAt), 12);
    EXPECT_EQ(Get16(*result, fontAt + 2), u'A');
    EXPECT_EQ(Get16(*result, fontAt + 4), 0);
    EXPECT_EQ(result->size() % 4, 0u);
}

TEST(ReplaceDialogFont, RefusesTruncatedTemplates)
{
    const auto original = ExtendedTemplate(true, u"MS Shell Dlg");
    for (size_t size :
         {size_t{0}, size_t{17}, size_t{30}, size_t{26 + 4 + 10}, size_t{26 + 4 + 46}})
        EXPECT_FALSE(plcore::ReplaceDialogFont(original.data(), size, u"X", 8)) << size;
    EXPECT_FALSE(plcore::ReplaceDialogFont(nullptr, 100, u"X", 8));
}

} // namespace
