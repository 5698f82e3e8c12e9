// Tag model: reading values in both byte orders, the setters and the shared store with its budget.

#include "ExifTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

using namespace PlExifTest;

namespace
{

struct SByteOrderCase
{
    const char* name;
    bool bigEndian;
};

class ExifTagByteOrder : public testing::TestWithParam<SByteOrderCase>
{
};

TEST_P(ExifTagByteOrder, ShortAndLongReadInTheContextsOrder)
{
    const bool be = GetParam().bigEndian;
    auto c = NewContext(be);
    // 258 = 0x0102 as SHORT; 0x00012345 as LONG.
    const std::vector<uint8_t> shortBytes =
        be ? std::vector<uint8_t>{1, 2} : std::vector<uint8_t>{2, 1};
    const std::vector<uint8_t> longBytes =
        be ? std::vector<uint8_t>{0, 1, 0x23, 0x45} : std::vector<uint8_t>{0x45, 0x23, 1, 0};
    CExifTag* orientation = AddFileTag(*c, eTagOrientation, eTypeShort, 1, 100, shortBytes);
    CExifTag* width = AddFileTag(*c, eTagPixelXDimension, eTypeLong, 1, 110, longBytes);
    // An image height stored in the file as SHORT: a LONG tag read through 16 bits.
    CExifTag* height = AddFileTag(*c, eTagImageLength, eTypeShort, 1, 120, shortBytes);

    unsigned short s = 0;
    unsigned long l = 0;
    EXPECT_EQ(eOk, orientation->GetShort(s));
    EXPECT_EQ(258, s);
    EXPECT_EQ(eOk, orientation->GetLong(l));
    EXPECT_EQ(258u, l);
    EXPECT_EQ(eOk, width->GetLong(l));
    EXPECT_EQ(0x12345u, l);
    EXPECT_EQ(eErrWrongType, width->GetShort(s));
    EXPECT_EQ(eOk, height->GetLong(l));
    EXPECT_EQ(258u, l);

    // A set stores in the context's order and the file's SHORT layout is gone afterwards.
    EXPECT_EQ(eOk, height->SetLong(70000));
    EXPECT_EQ(eOk, height->GetLong(l));
    EXPECT_EQ(70000u, l);
    const unsigned short values[] = {0x0102, 0x0304};
    CExifTag* bits = Tag(*c, eTagSamplesPerPixel);
    ASSERT_EQ(eOk, bits->SetShorts(values, 2));
    EXPECT_EQ(be ? std::vector<uint8_t>({1, 2, 3, 4}) : std::vector<uint8_t>({2, 1, 4, 3}),
              Bytes(*bits));
    EXPECT_EQ(eOk, bits->GetShort(s));
    EXPECT_EQ(0x0102, s);
}

INSTANTIATE_TEST_SUITE_P(Orders, ExifTagByteOrder,
                         testing::Values(SByteOrderCase{"LittleEndian", false},
                                         SByteOrderCase{"BigEndian", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ExifTag, ReadersAnswerNoValueThenWrongType)
{
    auto c = NewContext();
    CExifTag* make = Tag(*c, eTagMake);
    unsigned short s = 0;
    unsigned long l = 0;
    long sl = 0;
    unsigned long n = 0, d = 0;
    PlExif::SYSTEMTIME st{};
    EXPECT_EQ(eErrNoValue, make->GetShort(s));
    ASSERT_EQ(eOk, make->SetString(L"X"));
    EXPECT_EQ(eErrWrongType, make->GetShort(s));
    EXPECT_EQ(eErrWrongType, make->GetLong(l));
    EXPECT_EQ(eErrWrongType, make->GetSLong(sl));
    EXPECT_EQ(eErrWrongType, make->GetRational(n, d));
    EXPECT_EQ(eErrWrongType, make->GetDateTime(st));
    IPlExifBuffer* buffer = nullptr;
    EXPECT_EQ(eErrWrongType, make->GetUndefined(buffer));

    // A value of zero elements has nothing to read: no read past the (empty) block.
    CExifTag* version = Tag(*c, eTagGPSVersionID);
    ASSERT_EQ(eOk, version->SetBytes(nullptr, 0));
    uint8_t b = 0;
    EXPECT_EQ(eErrNoValue, version->GetByte(b));

    const uint8_t bytes[] = {2, 2, 0, 0};
    ASSERT_EQ(eOk, version->SetBytes(bytes, 4));
    EXPECT_EQ(eOk, version->GetByteAt(b, 3));
    EXPECT_EQ(eErrFailed, version->GetByteAt(b, 4));
}

TEST(ExifTag, SetStringKeepsSevenBitAscii)
{
    auto c = NewContext();
    CExifTag* make = Tag(*c, eTagMake);
    ASSERT_EQ(eOk, make->SetString(L"Caf\u00e9"));
    EXPECT_EQ(std::vector<uint8_t>({0x43, 0x61, 0x66, 0x3F, 0x00}), Bytes(*make));
    EXPECT_EQ(5u, make->m_nCount);
    ASSERT_EQ(eOk, make->SetString(nullptr));
    EXPECT_EQ(std::vector<uint8_t>({0}), Bytes(*make));
}

TEST(ExifTag, UserCommentIsUnicodeLittleEndian)
{
    auto c = NewContext(true);
    CExifTag* comment = Tag(*c, eTagUserComment);
    ASSERT_EQ(eOk, comment->SetString(L"Hi"));
    EXPECT_EQ(std::vector<uint8_t>({'U', 'N', 'I', 'C', 'O', 'D', 'E', 0, 0x48, 0, 0x69, 0, 0, 0}),
              Bytes(*comment));
    EXPECT_EQ(eErrFailed, comment->SetString(nullptr));
    EXPECT_EQ(eErrWrongType, Tag(*c, eTagGPSProcessingMethod)->SetString(L"Hi"));

    IPlExifBuffer* copy = nullptr;
    ASSERT_EQ(eOk, comment->GetUndefined(copy));
    EXPECT_EQ(14u, copy->GetSize());
    EXPECT_EQ(0, std::memcmp(copy->GetData(), comment->m_pValue, 14));
    copy->Release();
}

TEST(ExifTag, SettersOfOtherTypesAndUnknownTagsAreRefused)
{
    auto c = NewContext();
    const unsigned long longs[] = {1, 2};
    const long slongs[] = {-1, 2};
    EXPECT_EQ(eErrWrongType, Tag(*c, eTagOrientation)->SetLongs(longs, 1));
    EXPECT_EQ(eErrWrongType, Tag(*c, eTagImageWidth)->SetShort(1));
    EXPECT_EQ(eErrWrongType, Tag(*c, eTagXResolution)->SetSLong(1));
    EXPECT_EQ(eErrWrongType, Tag(*c, eTagExposureTime)->SetSRationals(slongs, 1));

    CExifTag plain(eTypeShort, 0x1234, c.get(), eIfd0, 0, nullptr);
    EXPECT_EQ(eErrWrongType, plain.SetShort(1));
    EXPECT_EQ(eErrWrongType, plain.SetString(L"x"));
    EXPECT_EQ(eErrWrongType, plain.SetUndefined(nullptr, 0));

    // Signed rationals are stored as such.
    CExifTag* bias = Tag(*c, eTagExposureBiasValue);
    ASSERT_EQ(eOk, bias->SetSRationals(slongs, 1));
    int32_t n = 0, d = 0;
    EXPECT_EQ(eOk, bias->GetSRational(n, d));
    EXPECT_EQ(-1, n);
    EXPECT_EQ(2, d);
}

TEST(ExifTag, StoreReusesStorageAndKeepsTheByteSizeExact)
{
    auto c = NewContext();
    CExifTag* comment = Tag(*c, eTagUserComment);
    CExifIfd* exif = c->Ifd(eIfdExif);
    const uint32_t empty = exif->m_nByteSize;
    const uint8_t bytes[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    ASSERT_EQ(eOk, comment->SetUndefined(bytes, 10));
    EXPECT_EQ(empty + 10, exif->m_nByteSize);
    const uint8_t* storage = comment->m_pValue;
    ASSERT_EQ(eOk, comment->SetUndefined(bytes, 3));
    EXPECT_EQ(storage, comment->m_pValue);
    EXPECT_EQ(3u, comment->m_nCount);
    EXPECT_EQ(empty, exif->m_nByteSize);

    // A file value shrinks in place inside the APP1 copy.
    CExifTag* model = AddFileTag(*c, eTagModel, eTypeAscii, 6, 200, {'A', 'B', 'C', 'D', 'E', 0});
    ASSERT_EQ(eOk, model->SetString(L"xy"));
    EXPECT_EQ(c->m_app1.Data() + 200, model->m_pValue);
    EXPECT_EQ('x', c->m_app1.Data()[200]);
}

TEST(ExifTag, GrowthBeyondTheBudgetIsRefusedAndTheOldValueKept)
{
    auto c = NewContext();
    std::vector<uint8_t> big(65000, 0x55);
    ASSERT_EQ(eOk, Tag(*c, eTagUserComment)->SetUndefined(big.data(), big.size()));
    CExifTag* area = Tag(*c, eTagGPSAreaInformation);
    const uint8_t small[] = {'A', 'B', 'C', 'D', 'E', 'F'};
    ASSERT_EQ(eOk, area->SetUndefined(small, 6));
    const uint32_t estimate = c->EstimateApp1Size();
    const uint32_t room = 65536 - estimate;

    std::vector<uint8_t> tooMuch(6 + room + 1, 1);
    EXPECT_EQ(eErrTooLarge, area->SetUndefined(tooMuch.data(), tooMuch.size()));
    EXPECT_EQ(std::vector<uint8_t>(small, small + 6), Bytes(*area));
    EXPECT_EQ(estimate, c->EstimateApp1Size());
    std::vector<uint8_t> justFits(6 + room, 1);
    EXPECT_EQ(eOk, area->SetUndefined(justFits.data(), justFits.size()));
}

TEST(ExifTag, DateTimeFieldsFromTheExifForm)
{
    auto c = NewContext();
    CExifTag* taken = Tag(*c, eTagDateTimeOriginal);
    ASSERT_EQ(eOk, taken->SetString(L"2010:09:17 08:11:07"));
    PlExif::SYSTEMTIME st{};
    ASSERT_EQ(eOk, taken->GetDateTime(st));
    EXPECT_EQ(2010, st.wYear);
    EXPECT_EQ(9, st.wMonth);
    EXPECT_EQ(17, st.wDay);
    EXPECT_EQ(8, st.wHour);
    EXPECT_EQ(11, st.wMinute);
    EXPECT_EQ(7, st.wSecond);
    EXPECT_EQ(0, st.wDayOfWeek);
    EXPECT_EQ(0, st.wMilliseconds);

    CExifTag* digitized = Tag(*c, eTagDateTimeDigitized);
    ASSERT_EQ(eOk, digitized->SetString(L"2010:09:17 08:11:07"));
    EXPECT_EQ(eErrWrongType, digitized->GetDateTime(st));

    // A short value yields the fields it holds and reads nothing beyond itself.
    CExifTag* changed =
        AddFileTag(*c, eTagDateTime, eTypeAscii, 7, 500, {'2', '0', '1', '1', ':', '0', '3'});
    ASSERT_EQ(eOk, changed->GetDateTime(st));
    EXPECT_EQ(2011, st.wYear);
    EXPECT_EQ(3, st.wMonth);
    EXPECT_EQ(0, st.wDay);
}

TEST(ExifTag, ReferencesFromManyThreads)
{
    auto c = NewContext();
    CExifTag* make = Tag(*c, eTagMake);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
    {
        threads.emplace_back(
            [make]
            {
                for (int i = 0; i < 10000; ++i)
                {
                    make->AddRef();
                    make->Release();
                }
            });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(1, make->GetRefCount());
}

} // namespace
