// Directories and context: creation with pointer tags, the size estimate, the removal cascade,
// clearing, deep copies and the tag iterator.

#include "ExifTestSupport.h"
#include "PlExifTagIterator.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace PlExifTest;

namespace
{

bool Has(const CExifContext& c, EExifIfd ifd, uint16_t tag)
{
    return c.FindTag(ifd, tag) != nullptr;
}

TEST(ExifContext, EmptyContextAndImplicitIfd0)
{
    auto c = NewContext(false, 0);
    EXPECT_EQ(16u, c->EstimateApp1Size());
    EXPECT_EQ(0, c->GetNumTags());
    for (uint32_t i = 0; i < kIfdCount; ++i)
        EXPECT_EQ(nullptr, c->Ifd(static_cast<EExifIfd>(i)));
    ASSERT_NE(nullptr, c->GetIfd(eIfd1));
    ASSERT_NE(nullptr, c->Ifd(eIfd0));
    EXPECT_EQ(6u, c->Ifd(eIfd0)->m_nByteSize);
    EXPECT_EQ(6u, c->Ifd(eIfd1)->m_nByteSize);
}

TEST(ExifContext, CreatingATagCreatesItsDirectoriesAndPointers)
{
    auto c = NewContext(false, 0);
    Tag(*c, eTagExposureTime);
    EXPECT_EQ(2, c->GetNumTags());
    CExifTag* pointer = c->FindTag(eIfd0, kTagExifPointer);
    ASSERT_NE(nullptr, pointer);
    EXPECT_EQ(nullptr, pointer->m_pValue);
    EXPECT_EQ(18u, c->Ifd(eIfd0)->m_nByteSize);
    EXPECT_EQ(18u, c->Ifd(eIfdExif)->m_nByteSize);
    EXPECT_EQ(52u, c->EstimateApp1Size());

    auto d = NewContext(false, 0);
    Tag(*d, eTagInteroperabilityIndex);
    EXPECT_TRUE(Has(*d, eIfd0, kTagExifPointer));
    EXPECT_TRUE(Has(*d, eIfdExif, kTagInteropPointer));
    EXPECT_TRUE(Has(*d, eIfdInterop, 0x0001));
    EXPECT_EQ(3, d->GetNumTags());
}

struct SRemoveCase
{
    const char* name;
    std::vector<EExifTagId> create;
    bool withIfd1;
    EExifTagId remove;
    EError result;
    std::vector<EExifIfd> remaining;
    long tagsLeft;
};

class ExifContextRemove : public testing::TestWithParam<SRemoveCase>
{
};

TEST_P(ExifContextRemove, RemovesEmptiedDirectoriesAndTheirPointers)
{
    const SRemoveCase& p = GetParam();
    auto c = NewContext(false, 0);
    for (EExifTagId id : p.create)
        Tag(*c, id);
    if (p.withIfd1)
        c->GetIfd(eIfd1);
    EXPECT_EQ(p.result, c->RemoveTag(p.remove));
    std::vector<EExifIfd> remaining;
    for (uint32_t i = 0; i < kIfdCount; ++i)
    {
        if (c->Ifd(static_cast<EExifIfd>(i)) != nullptr)
            remaining.push_back(static_cast<EExifIfd>(i));
    }
    EXPECT_EQ(p.remaining, remaining);
    EXPECT_EQ(p.tagsLeft, c->GetNumTags());
    // The estimate stays the sum of what is left.
    uint32_t expected = 16;
    for (EExifIfd ifd : remaining)
        expected += 6 + 12 * static_cast<uint32_t>(c->Ifd(ifd)->GetCount());
    EXPECT_EQ(expected, c->EstimateApp1Size());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExifContextRemove,
    testing::Values(SRemoveCase{"OnlyGpsTagTakesGpsPointerAndIfd0",
                                {eTagGPSLatitudeRef},
                                false,
                                eTagGPSLatitudeRef,
                                eTagRemoved,
                                {},
                                0},
                    SRemoveCase{"GpsGoesIfd0StaysWithOtherTags",
                                {eTagMake, eTagGPSLatitudeRef},
                                false,
                                eTagGPSLatitudeRef,
                                eTagRemoved,
                                {eIfd0},
                                1},
                    SRemoveCase{"InteropCascadesThroughExif",
                                {eTagInteroperabilityIndex},
                                false,
                                eTagInteroperabilityIndex,
                                eTagRemoved,
                                {},
                                0},
                    SRemoveCase{"LastIfd0TagKeepsEmptyIfd0ForIfd1",
                                {eTagMake},
                                true,
                                eTagMake,
                                eTagRemoved,
                                {eIfd0, eIfd1},
                                0},
                    SRemoveCase{"AbsentTagInExistingDirectory",
                                {eTagMake, eTagModel},
                                false,
                                eTagArtist,
                                eTagRemoved,
                                {eIfd0},
                                2},
                    SRemoveCase{
                        "DirectoryMissing", {eTagMake}, false, eTagGPSLatitudeRef, eOk, {eIfd0}, 1},
                    SRemoveCase{"IdOutOfRange",
                                {eTagMake},
                                false,
                                static_cast<EExifTagId>(86),
                                eErrFailed,
                                {eIfd0},
                                1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExifContext, RemovingAValueTagSubtractsItsOutOfLineBytes)
{
    auto c = NewContext(false, 0);
    CExifTag* make = Tag(*c, eTagMake);
    Tag(*c, eTagModel);
    ASSERT_EQ(eOk, make->SetString(L"LongMaker"));
    EXPECT_EQ(6u + 24 + 10, c->Ifd(eIfd0)->m_nByteSize);
    EXPECT_EQ(eTagRemoved, c->RemoveTag(eTagMake));
    EXPECT_EQ(6u + 12, c->Ifd(eIfd0)->m_nByteSize);
}

TEST(ExifContext, ClearAndDropThumbnail)
{
    auto c = NewContext(true);
    Tag(*c, eTagMake);
    c->GetIfd(eIfd1);
    ASSERT_TRUE(c->m_ownThumbnail.Assign(reinterpret_cast<const uint8_t*>("\xFF\xD8"), 2));
    c->m_pThumbnail = c->m_ownThumbnail.Data();
    c->DropThumbnail();
    EXPECT_EQ(nullptr, c->m_pThumbnail);
    EXPECT_EQ(nullptr, c->Ifd(eIfd1));
    EXPECT_NE(nullptr, c->Ifd(eIfd0));
    c->Clear();
    EXPECT_EQ(0, c->GetNumTags());
    EXPECT_TRUE(c->m_app1.Empty());
    EXPECT_FALSE(c->IsBigEndian());
}

TEST(ExifContext, DeepCopyIsIndependentAndKeepsOffsets)
{
    auto src = NewContext(true);
    // A big-endian file value: an image width stored as SHORT (0x0280 = 640).
    AddFileTag(*src, eTagImageWidth, eTypeShort, 1, 40, {0x02, 0x80, 0, 0});
    AddFileTag(*src, eTagModel, eTypeAscii, 6, 60, {'M', 'o', 'd', 'e', 'l', 0});
    Tag(*src, eTagMake)->SetString(L"Own value");
    // A thumbnail inside the APP1 copy with its length tag.
    uint8_t* thumb = src->m_app1.Data() + 300;
    thumb[0] = 0xFF;
    thumb[1] = 0xD8;
    src->m_pThumbnail = thumb;
    AddFileTag(*src, eTagJPEGInterchangeFormatLength, eTypeLong, 1, 80, {0, 0, 0, 2});
    // A tag the table does not know stays a plain tag of its own type.
    src->m_app1.Data()[90] = 0x00;
    src->m_app1.Data()[91] = 0x07;
    auto* plain = new CExifTag(eTypeShort, 0x9999, src.get(), eIfd0, 1, src->m_app1.Data() + 90);
    ASSERT_TRUE(src->Ifd(eIfd0)->Insert(plain));
    src->Ifd(eIfd0)->m_nByteSize += 12;

    ContextPtr copy(CExifContext::Copy(*src));
    ASSERT_NE(nullptr, copy);
    copy->AddRef();
    EXPECT_EQ(src->GetNumTags(), copy->GetNumTags());
    EXPECT_TRUE(copy->IsBigEndian());
    EXPECT_EQ(copy->m_app1.Data() + 300, copy->m_pThumbnail);
    EXPECT_NE(src->m_app1.Data(), copy->m_app1.Data());
    for (uint32_t i = 0; i < kIfdCount; ++i)
    {
        const auto ifd = static_cast<EExifIfd>(i);
        if (src->Ifd(ifd))
        {
            EXPECT_EQ(src->Ifd(ifd)->m_nByteSize, copy->Ifd(ifd)->m_nByteSize);
        }
    }

    CExifTag* width = copy->FindTag(eIfd0, 0x0100);
    unsigned long value = 0;
    ASSERT_EQ(eOk, width->GetLong(value));
    EXPECT_EQ(640u, value);
    unsigned short s = 0;
    ASSERT_NE(nullptr, copy->FindTag(eIfd0, 0x9999));
    EXPECT_EQ(eOk, copy->FindTag(eIfd0, 0x9999)->GetShort(s));
    EXPECT_EQ(7, s);
    EXPECT_EQ(eErrWrongType, copy->FindTag(eIfd0, 0x9999)->SetShort(1));
    CExifTag* model = copy->FindTag(eIfd0, kTagModel);
    EXPECT_EQ(copy->m_app1.Data() + 60, model->m_pValue);
    ASSERT_EQ(eOk, model->SetString(L"Other"));
    EXPECT_EQ("Model", ValueText(*src->FindTag(eIfd0, kTagModel)));
    CExifTag* make = copy->FindTag(eIfd0, kTagMake);
    EXPECT_NE(src->FindTag(eIfd0, kTagMake)->m_pValue, make->m_pValue);
    EXPECT_EQ("Own value", ValueText(*make));

    // Release the source first: the copy owns everything it points to.
    src.reset();
    EXPECT_EQ("Other", ValueText(*model));
    EXPECT_EQ(0xD8, copy->m_pThumbnail[1]);
}

TEST(ExifContext, CopyOfAnOwnThumbnail)
{
    auto src = NewContext(false, 0);
    const uint8_t bytes[] = {0xFF, 0xD8, 0xFF, 0xD9};
    ASSERT_TRUE(src->m_ownThumbnail.Assign(bytes, 4));
    src->m_pThumbnail = src->m_ownThumbnail.Data();
    ContextPtr copy(CExifContext::Copy(*src));
    copy->AddRef();
    ASSERT_NE(nullptr, copy->m_pThumbnail);
    EXPECT_NE(src->m_pThumbnail, copy->m_pThumbnail);
    EXPECT_EQ(0, std::memcmp(bytes, copy->m_pThumbnail, 4));
}

std::vector<std::pair<uint32_t, uint16_t>> Walk(CPlExifTagIterator& it)
{
    std::vector<std::pair<uint32_t, uint16_t>> seen;
    IPlExifTag* tag = nullptr;
    while (it.Next(tag) == eOk)
    {
        auto* t = static_cast<CExifTag*>(tag);
        seen.emplace_back(t->m_nIfd, t->m_wTag);
        tag->Release();
    }
    return seen;
}

TEST(ExifContext, IteratorWalksDirectoriesInOrderAndRestarts)
{
    auto c = NewContext(false, 0);
    Tag(*c, eTagModel);
    Tag(*c, eTagMake);
    Tag(*c, eTagExposureTime);
    Tag(*c, eTagGPSLatitude);
    Tag(*c, eTagInteroperabilityIndex);
    CExifTag* length = nullptr;
    c->GetOrCreateTag(*GetRow(eTagJPEGInterchangeFormatLength), *c->GetIfd(eIfd1), length);

    CPlExifTagIterator* it = CPlExifTagIterator::Create(c.get());
    it->AddRef();
    const std::vector<std::pair<uint32_t, uint16_t>> expected = {
        {eIfd0, 0x010F},    {eIfd0, 0x0110},       {eIfd0, 0x8769},
        {eIfd0, 0x8825},    {eIfdGps, 0x0002},     {eIfdExif, 0x829A},
        {eIfdExif, 0xA005}, {eIfdInterop, 0x0001}, {eIfd1, 0x0202}};
    EXPECT_EQ(expected, Walk(*it));
    // After the end the next walk starts again, as it does after Reset.
    EXPECT_EQ(expected, Walk(*it));
    IPlExifTag* first = nullptr;
    ASSERT_EQ(eOk, it->Next(first));
    first->Release();
    EXPECT_EQ(eOk, it->Reset());
    EXPECT_EQ(expected, Walk(*it));

    // An empty IFD0 kept for IFD1 does not hide IFD1's tags.
    c->RemoveTag(eTagMake);
    c->RemoveTag(eTagModel);
    c->RemoveTag(eTagExposureTime);
    c->RemoveTag(eTagGPSLatitude);
    c->RemoveTag(eTagInteroperabilityIndex);
    ASSERT_NE(nullptr, c->Ifd(eIfd0));
    it->Reset();
    EXPECT_EQ((std::vector<std::pair<uint32_t, uint16_t>>{{eIfd1, 0x0202}}), Walk(*it));

    // The iterator keeps the context alive.
    CExifContext* raw = c.release();
    raw->Release();
    it->Reset();
    it->Release();
}

} // namespace
