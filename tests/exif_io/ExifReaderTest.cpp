// Reading EXIF segments from buffers: where the segment is found, what is refused, how the
// directories, the thumbnail and both byte orders come out.
#include "ExifJpegBuilder.h"
#include "PlExif.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace PlExif;
using pltest::Bytes;
using pltest::CExifJpegBuilder;

namespace
{

EError Read(PlExifContext& ctx, const Bytes& jpeg)
{
    return ctx.ReadFromData(jpeg.data(), static_cast<unsigned long>(jpeg.size()));
}

unsigned long Long(const PlExifContext& ctx, EExifTagId id)
{
    const IPlExifTag* tag = nullptr;
    unsigned long v = 0xDEAD;
    if (ctx.GetTag(id, tag) == eOk)
    {
        EXPECT_EQ(tag->GetLong(v), eOk);
        tag->Release();
    }
    return v;
}

CExifJpegBuilder Camera(bool big)
{
    CExifJpegBuilder b(big);
    b.ifd0 = {b.Text(0x010F, "Testmaker"), b.Short(0x0112, 6), b.Rational(0x011A, 72, 1)};
    b.exif = {b.Rational(0x829A, 1, 125), b.Short(0x8827, 200), b.Long(0xA002, 640)};
    return b;
}

// Replaces the byte at a position of the first APP1 segment's TIFF header + offset.
Bytes Patched(Bytes jpeg, long tiffOffset, std::initializer_list<uint8_t> bytes)
{
    size_t pos = static_cast<size_t>(2 + 10 + tiffOffset); // SOI, marker, length, identifier
    for (uint8_t b : bytes)
        jpeg[pos++] = b;
    return jpeg;
}

} // namespace

TEST(ExifReader, FindsTheSegmentOnlyWhereItIsLookedFor)
{
    const CExifJpegBuilder b = Camera(false);
    const Bytes app1 = CExifJpegBuilder::App1(b.Tiff());
    const Bytes app2 = {0xFF, 0xE2, 0x00, 0x04, 0x00, 0x00};
    const Bytes xmp = CExifJpegBuilder::App1(b.Tiff(), "http");
    struct
    {
        const char* what;
        Bytes jpeg;
        EError expected;
    } cases[] = {
        {"directly after SOI", CExifJpegBuilder::Jpeg({app1}), eOk},
        {"after a JFIF APP0", CExifJpegBuilder::Jpeg({CExifJpegBuilder::App0(18), app1}), eOk},
        {"SOI after a junk byte", CExifJpegBuilder::Jpeg({app1}, {0x00}), eOk},
        {"SOI at position 27", CExifJpegBuilder::Jpeg({app1}, Bytes(27, 0x20)), eOk},
        {"SOI at position 28", CExifJpegBuilder::Jpeg({app1}, Bytes(28, 0x20)), eErrNoExif},
        {"after an APP2", CExifJpegBuilder::Jpeg({app2, app1}), eErrNoExif},
        {"after two APP0",
         CExifJpegBuilder::Jpeg({CExifJpegBuilder::App0(), CExifJpegBuilder::App0(), app1}),
         eErrNoExif},
        {"APP0 pushes APP1 past 128 bytes",
         CExifJpegBuilder::Jpeg({CExifJpegBuilder::App0(130), app1}), eErrNoExif},
        {"XMP instead of EXIF", CExifJpegBuilder::Jpeg({xmp}), eErrNoExif},
        {"no APP1 at all", CExifJpegBuilder::Jpeg({CExifJpegBuilder::App0()}), eErrNoExif},
    };
    for (const auto& c : cases)
    {
        PlExifContext ctx;
        EXPECT_EQ(Read(ctx, c.jpeg), c.expected) << c.what;
        EXPECT_EQ(ctx.GetNumTags(), c.expected == eOk ? 7 : 0) << c.what;
    }
}

TEST(ExifReader, RefusesDamagedStructures)
{
    const CExifJpegBuilder b = Camera(false);
    const Bytes good = b.Jpeg();
    // IFD0 at 8: count (2), entries Make, Orientation, XResolution, Exif pointer (12 each).
    const long entry0 = 8 + 2;
    Bytes beyondEnd = good;
    beyondEnd.resize(2 + 4 + 40); // the segment claims more than the buffer holds
    beyondEnd.resize(128, 0);
    Bytes shortBuffer = good;
    shortBuffer.resize(127);
    struct
    {
        const char* what;
        Bytes jpeg;
        EError expected;
    } cases[] = {
        {"byte order neither II nor MM", Patched(good, 0, {'I', 'M'}), eErrFailed},
        {"magic number not 42", Patched(good, 2, {43}), eErrFailed},
        {"IFD0 offset below 8", Patched(good, 4, {7, 0, 0, 0}), eErrFailed},
        {"IFD0 offset beyond the segment", Patched(good, 4, {0xFF, 0xFF, 0xFF, 0xFF}), eErrFailed},
        {"entry count beyond the segment", Patched(good, 8, {0xFF, 0x01}), eErrFailed},
        {"513 entries", Patched(good, 8, {0x01, 0x02}), eErrFailed},
        {"value offset beyond the segment", Patched(good, entry0 + 8, {0xF0, 0xFF, 0xFF, 0xFF}),
         eErrFailed},
        {"count overflowing 32 bits with its type",
         Patched(good, entry0 + 12 * 2 + 4, {0x00, 0x00, 0x00, 0x20}), eErrFailed},
        {"Exif pointer to offset 0", Patched(good, entry0 + 12 * 3 + 8, {0, 0, 0, 0}), eErrFailed},
        {"identifier not Exif", Patched(good, -6, {'E', 'x', 'i', 'g'}), eErrNoExif},
        {"segment runs past the buffer", beyondEnd, eErrFailed},
        {"fewer than 128 bytes", shortBuffer, eErrFailed},
    };
    for (const auto& c : cases)
    {
        PlExifContext ctx;
        EXPECT_EQ(Read(ctx, c.jpeg), c.expected) << c.what;
        EXPECT_EQ(ctx.GetNumTags(), 0) << c.what;
    }
    PlExifContext ctx;
    EXPECT_EQ(ctx.ReadFromData(nullptr, 500), eErrFileType);
}

TEST(ExifReader, AcceptsUpTo512EntriesPerDirectory)
{
    for (unsigned n : {512u, 513u})
    {
        CExifJpegBuilder b;
        for (unsigned i = 0; i < n; ++i)
            b.ifd0.push_back(b.Short(static_cast<uint16_t>(0xC000 + i), 1));
        PlExifContext ctx;
        EXPECT_EQ(Read(ctx, b.Jpeg()), n == 512 ? eOk : eErrFailed) << n;
        EXPECT_EQ(ctx.GetNumTags(), n == 512 ? 512 : 0);
    }
}

TEST(ExifReader, BothByteOrdersGiveTheSameValues)
{
    for (bool big : {false, true})
    {
        PlExifContext ctx;
        ASSERT_EQ(Read(ctx, Camera(big).Jpeg()), eOk);
        const IPlExifTag* tag = nullptr;
        unsigned short s = 0;
        ASSERT_EQ(ctx.GetTag(eTagOrientation, tag), eOk);
        EXPECT_EQ(tag->GetShort(s), eOk);
        EXPECT_EQ(s, 6);
        tag->Release();
        unsigned long n = 0, d = 0;
        ASSERT_EQ(ctx.GetTag(eTagExposureTime, tag), eOk);
        EXPECT_EQ(tag->GetRational(n, d), eOk);
        EXPECT_EQ(n, 1u);
        EXPECT_EQ(d, 125u);
        tag->Release();
        EXPECT_EQ(Long(ctx, eTagPixelXDimension), 640u) << big;
    }
}

TEST(ExifReader, KeepsTheFirstOfTwoEntriesWithOneNumber)
{
    CExifJpegBuilder b;
    b.ifd0 = {b.Short(0x0112, 3), b.Short(0x0112, 8)};
    PlExifContext ctx;
    ASSERT_EQ(Read(ctx, b.Jpeg()), eOk);
    EXPECT_EQ(ctx.GetNumTags(), 1);
    const IPlExifTag* tag = nullptr;
    unsigned short s = 0;
    ASSERT_EQ(ctx.GetTag(eTagOrientation, tag), eOk);
    tag->GetShort(s);
    tag->Release();
    EXPECT_EQ(s, 3);
}

namespace
{

std::wstring Text(const IPlExifTag& tag)
{
    IPlExifString* text = nullptr;
    if (tag.GetValueText(text) != eOk)
        return L"(none)";
    std::wstring value(static_cast<size_t>(text->GetLength()) + 1, L'\0');
    text->GetString(value.data(), static_cast<long>(value.size()));
    text->Release();
    value.resize(value.size() - 1);
    return value;
}

} // namespace

TEST(ExifReader, FilesEntriesOutOfOrderByNumberAndKeepsTheFirstOfARepeat)
{
    CExifJpegBuilder b;
    b.ifd0 = {b.Short(0x0128, 2), b.Text(0x010F, "Testmaker"), b.Short(0x0112, 3),
              b.Text(0x010F, "Othermaker"), b.Short(0x0112, 8)};
    PlExifContext ctx;
    ASSERT_EQ(Read(ctx, b.Jpeg()), eOk);
    EXPECT_EQ(ctx.GetNumTags(), 3);
    std::vector<std::wstring> expected;
    for (EExifTagId id : {eTagMake, eTagOrientation, eTagResolutionUnit})
    {
        const IPlExifTag* tag = nullptr;
        ASSERT_EQ(ctx.GetTag(id, tag), eOk);
        expected.push_back(Text(*tag));
        tag->Release();
    }
    EXPECT_EQ(expected[0], L"Testmaker");
    PlExifContext orientation3;
    CExifJpegBuilder one;
    one.ifd0 = {one.Short(0x0112, 3)};
    ASSERT_EQ(Read(orientation3, one.Jpeg()), eOk);
    const IPlExifTag* first = nullptr;
    ASSERT_EQ(orientation3.GetTag(eTagOrientation, first), eOk);
    EXPECT_EQ(expected[1], Text(*first));
    first->Release();

    // The walk goes in number order, whatever the order in the file.
    IPlExifTagIterator* it = nullptr;
    ASSERT_EQ(ctx.GetTagIterator(it), eOk);
    std::vector<std::wstring> walked;
    const IPlExifTag* tag = nullptr;
    while (it->Next(tag) == eOk)
    {
        walked.push_back(Text(*tag));
        tag->Release();
    }
    it->Release();
    EXPECT_EQ(walked, expected);
}

TEST(ExifReader, ReadsAWidthStoredAsShortAsLong)
{
    for (bool big : {false, true})
    {
        CExifJpegBuilder b(big);
        b.ifd0 = {b.Short(0x0100, 1234), b.Short(0x0101, 987)};
        PlExifContext ctx;
        ASSERT_EQ(Read(ctx, b.Jpeg()), eOk);
        const IPlExifTag* tag = nullptr;
        ASSERT_EQ(ctx.GetTag(eTagImageWidth, tag), eOk);
        EXPECT_EQ(tag->GetType(), 4u);
        tag->Release();
        EXPECT_EQ(Long(ctx, eTagImageWidth), 1234u) << big;
        EXPECT_EQ(Long(ctx, eTagImageLength), 987u) << big;
    }
}

TEST(ExifReader, LocatesTheThumbnailOrDropsIfd1)
{
    const Bytes thumb = {0xFF, 0xD8, 1, 2, 3, 4, 5, 0xFF, 0xD9};
    CExifJpegBuilder b = Camera(true);
    b.gps = {{0x0000, 1, 4, {2, 3, 0, 0}}};
    b.ifd1 = {b.Short(0x0103, 6)};
    b.thumbnail = thumb;
    PlExifContext ctx;
    ASSERT_EQ(Read(ctx, b.Jpeg()), eOk);
    unsigned long size = 0;
    ASSERT_EQ(ctx.GetThumbnailSize(size), eOk);
    ASSERT_EQ(size, thumb.size());
    ASSERT_NE(ctx.GetThumbnail(), nullptr);
    EXPECT_EQ(Bytes(ctx.GetThumbnail(), ctx.GetThumbnail() + size), thumb);

    // A length of 0, and a thumbnail reaching past the segment: IFD1 goes, the read succeeds.
    for (uint32_t length : {0u, 0x10000u})
    {
        CExifJpegBuilder c = Camera(false);
        c.ifd1 = {c.Short(0x0103, 6), c.Long(0x0201, 100), c.Long(0x0202, length)};
        PlExifContext bad;
        ASSERT_EQ(Read(bad, c.Jpeg()), eOk) << length;
        EXPECT_EQ(bad.GetThumbnail(), nullptr);
        EXPECT_EQ(bad.GetThumbnailSize(size), eErrNotFound);
        EXPECT_EQ(bad.GetNumTags(), 7) << "IFD1 and its tags are dropped";
    }
}
