// Writing EXIF segments: the exact byte layout, packing without padding, the order of the
// directories and the thumbnail, the 16-bit length limit, and the thumbnail operations.
#include "ExifJpegBuilder.h"
#include "PlExif.h"

#include <gtest/gtest.h>

using namespace PlExif;
using pltest::Bytes;
using pltest::CExifJpegBuilder;

namespace
{

Bytes Segment(const PlExifContext& ctx, EError expected = eOk)
{
    IPlExifBuffer* buf = nullptr;
    EXPECT_EQ(ctx.WriteWholeApp1ToBuffer(buf), expected);
    if (!buf)
        return {};
    Bytes out(buf->GetData(), buf->GetData() + buf->GetSize());
    buf->Release();
    return out;
}

EError Read(PlExifContext& ctx, const Bytes& jpeg)
{
    return ctx.ReadFromData(jpeg.data(), static_cast<unsigned long>(jpeg.size()));
}

uint32_t U32(const Bytes& b, size_t pos, bool big)
{
    return big ? (uint32_t(b[pos]) << 24) | (b[pos + 1] << 16) | (b[pos + 2] << 8) | b[pos + 3]
               : (uint32_t(b[pos + 3]) << 24) | (b[pos + 2] << 16) | (b[pos + 1] << 8) | b[pos];
}

uint16_t U16(const Bytes& b, size_t pos, bool big)
{
    return big ? uint16_t((b[pos] << 8) | b[pos + 1]) : uint16_t(b[pos] | (b[pos + 1] << 8));
}

// The value field of the entry with a tag number in the directory at a TIFF offset.
size_t FieldOf(const Bytes& seg, uint32_t dir, uint16_t tag, bool big)
{
    const size_t at = 10 + dir;
    const uint16_t n = U16(seg, at, big);
    for (uint16_t i = 0; i < n; ++i)
        if (U16(seg, at + 2 + 12 * i, big) == tag)
            return at + 2 + 12 * i + 8;
    ADD_FAILURE() << "tag " << tag << " not in the directory at " << dir;
    return 0;
}

void SetOrientation(PlExifContext& ctx, unsigned short v)
{
    IPlExifTag* tag = nullptr;
    ASSERT_EQ(ctx.CreateTag(eTagOrientation, tag), eOk);
    EXPECT_EQ(tag->SetShort(v), eOk);
    tag->Release();
}

} // namespace

TEST(ExifWriter, WritesTheSmallestSegmentByteForByte)
{
    PlExifContext little;
    SetOrientation(little, 6);
    EXPECT_EQ(Segment(little),
              (Bytes{0xFF, 0xE1, 0x00, 0x22, 0x45, 0x78, 0x69, 0x66, 0x00, 0x00, 0x49, 0x49,
                     0x2A, 0x00, 0x08, 0x00, 0x00, 0x00, 0x01, 0x00, 0x12, 0x01, 0x03, 0x00,
                     0x01, 0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}));

    CExifJpegBuilder b(true);
    b.ifd0 = {b.Short(0x0112, 1)};
    PlExifContext big;
    ASSERT_EQ(Read(big, b.Jpeg()), eOk);
    SetOrientation(big, 6);
    EXPECT_EQ(Segment(big),
              (Bytes{0xFF, 0xE1, 0x00, 0x22, 0x45, 0x78, 0x69, 0x66, 0x00, 0x00, 0x4D, 0x4D,
                     0x00, 0x2A, 0x00, 0x00, 0x00, 0x08, 0x00, 0x01, 0x01, 0x12, 0x00, 0x03,
                     0x00, 0x00, 0x00, 0x01, 0x00, 0x06, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}));
}

TEST(ExifWriter, PacksValuesWithoutPaddingAndOrdersDirectories)
{
    const Bytes thumb = {0xFF, 0xD8, 9, 8, 7, 0xFF, 0xD9};
    CExifJpegBuilder b;
    b.ifd0 = {b.Text(0x010F, "Camera")}; // 7 bytes: the next directory starts at an odd offset
    b.exif = {b.Rational(0x829A, 1, 60)};
    b.interop = {b.Text(0x0001, "R98")};
    b.gps = {b.Text(0x0001, "N")};
    b.ifd1 = {b.Short(0x0103, 6)};
    b.thumbnail = thumb;
    PlExifContext ctx;
    ASSERT_EQ(Read(ctx, b.Jpeg()), eOk);
    const Bytes seg = Segment(ctx);
    ASSERT_GT(seg.size(), 18u);
    EXPECT_EQ(U16(seg, 2, true), seg.size() - 2);

    // IFD0: Make, Exif pointer, GPS pointer; Make's 7 bytes right after the next field.
    const uint32_t ifd0End = 8 + 2 + 12 * 3 + 4;
    EXPECT_EQ(U32(seg, FieldOf(seg, 8, 0x010F, false), false), ifd0End);
    EXPECT_EQ(Bytes(seg.begin() + 10 + ifd0End, seg.begin() + 10 + ifd0End + 7),
              CExifJpegBuilder::Ascii("Camera"));
    const uint32_t exif = U32(seg, FieldOf(seg, 8, 0x8769, false), false);
    EXPECT_EQ(exif, ifd0End + 7);
    // Exif (pointer + rational), then Interop, GPS, IFD1 and the thumbnail, back to back.
    const uint32_t interop = U32(seg, FieldOf(seg, exif, 0xA005, false), false);
    EXPECT_EQ(interop, exif + 2 + 24 + 4 + 8);
    const uint32_t gps = U32(seg, FieldOf(seg, 8, 0x8825, false), false);
    EXPECT_EQ(gps, interop + 2 + 12 + 4);
    const uint32_t ifd1 = U32(seg, 10 + 8 + 2 + 12 * 3, false);
    EXPECT_EQ(ifd1, gps + 2 + 12 + 4);
    const uint32_t thumbAt = U32(seg, FieldOf(seg, ifd1, 0x0201, false), false);
    EXPECT_EQ(thumbAt, ifd1 + 2 + 36 + 4);
    EXPECT_EQ(seg.size(), 10 + thumbAt + thumb.size());
    EXPECT_EQ(Bytes(seg.end() - static_cast<long>(thumb.size()), seg.end()), thumb);
}

TEST(ExifWriter, RewritesAValueReadUnderAnotherTypeWithItsOwnType)
{
    // A width stored as SHORT is written as LONG and keeps meaning 1234, also big-endian (its
    // two SHORT bytes and two bytes of padding relabelled as LONG would not).
    for (bool big : {false, true})
    {
        CExifJpegBuilder b(big);
        b.ifd0 = {b.Short(0x0100, 1234)};
        PlExifContext ctx;
        ASSERT_EQ(Read(ctx, b.Jpeg()), eOk);
        const Bytes seg = Segment(ctx);
        PlExifContext again;
        ASSERT_EQ(Read(again, CExifJpegBuilder::Jpeg({seg})), eOk);
        const IPlExifTag* tag = nullptr;
        unsigned long width = 0;
        ASSERT_EQ(again.GetTag(eTagImageWidth, tag), eOk);
        EXPECT_EQ(tag->GetLong(width), eOk);
        tag->Release();
        EXPECT_EQ(width, 1234u) << big;
        EXPECT_EQ(U16(seg, 10 + 8 + 2 + 2, big), 4) << "written as LONG";
        EXPECT_EQ(U32(seg, 10 + 8 + 2 + 8, big), 1234u);
    }
}

TEST(ExifWriter, WritesACreatedTagWithoutValueAsEmptyEntry)
{
    PlExifContext ctx;
    IPlExifTag* tag = nullptr;
    ASSERT_EQ(ctx.CreateTag(eTagMake, tag), eOk);
    tag->Release();
    const Bytes seg = Segment(ctx);
    ASSERT_EQ(seg.size(), 36u);
    EXPECT_EQ(U16(seg, 20, false), 0x010F);
    EXPECT_EQ(U16(seg, 22, false), 2);
    EXPECT_EQ(U32(seg, 24, false), 0u);
    EXPECT_EQ(U32(seg, 28, false), 0u);
}

TEST(ExifWriter, RefusesASegmentBeyondItsLengthField)
{
    // Twelve entries sharing one 6000-byte value: each is written out on its own.
    Bytes jpeg;
    PlExifContext ctx;
    {
        CExifJpegBuilder many;
        for (uint16_t i = 0; i < 12; ++i)
            many.ifd0.push_back({static_cast<uint16_t>(0xC100 + i), 7, 6000, Bytes(4, 0)});
        Bytes tiff = many.Tiff();
        const uint32_t value = 8 + 2 + 12 * 12 + 4;
        tiff.resize(value + 6000, 0xAB);
        for (size_t i = 0; i < 12; ++i)
            for (int k = 0; k < 4; ++k)
                tiff[8 + 2 + 12 * i + 8 + k] = static_cast<uint8_t>(value >> (8 * k));
        jpeg = CExifJpegBuilder::Jpeg({CExifJpegBuilder::App1(tiff)});
    }
    ASSERT_EQ(Read(ctx, jpeg), eOk);
    EXPECT_EQ(ctx.GetNumTags(), 12);
    Segment(ctx, eErrTooLarge);
}

TEST(ExifWriter, ReplacesAndDropsTheThumbnail)
{
    CExifJpegBuilder b;
    b.ifd0 = {b.Short(0x0112, 1)};
    b.ifd1 = {b.Short(0x0103, 6)};
    b.thumbnail = Bytes(6000, 0x11);
    PlExifContext ctx;
    ASSERT_EQ(Read(ctx, b.Jpeg()), eOk);

    const Bytes smaller(5000, 0x22);
    ASSERT_EQ(ctx.SetThumbnail(smaller.data(), 5000, nullptr), eOk);
    unsigned long size = 0;
    ASSERT_EQ(ctx.GetThumbnailSize(size), eOk);
    EXPECT_EQ(size, 5000u);
    const Bytes seg = Segment(ctx);
    EXPECT_EQ(Bytes(seg.end() - 5000, seg.end()), smaller);
    PlExifContext again;
    ASSERT_EQ(Read(again, CExifJpegBuilder::Jpeg({seg})), eOk);
    ASSERT_NE(again.GetThumbnail(), nullptr);
    EXPECT_EQ(Bytes(again.GetThumbnail(), again.GetThumbnail() + 5000), smaller);

    // Past the budget: refused, and the context is left without thumbnail and IFD1.
    const Bytes huge(70000, 0x33);
    EXPECT_EQ(ctx.SetThumbnail(huge.data(), 70000, nullptr), eErrTooLarge);
    EXPECT_EQ(ctx.GetThumbnail(), nullptr);
    EXPECT_EQ(ctx.GetNumTags(), 1);

    ASSERT_EQ(again.RemoveThumbnail(), eErrFailed); // its documented answer
    EXPECT_EQ(again.GetThumbnail(), nullptr);
    EXPECT_EQ(Segment(again).size(), 36u);
}
