// Photos made by real tools (the fixtures generated into the build tree) and, where present,
// the shared corpus of camera files: each is read, written into a copy and read back; the copy
// gives the same segment, the same thumbnail and the same image data after the segment.
#include "PlExif.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace PlExif;
namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

namespace
{

Bytes Get(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// The path as the library under test is given it (a drive path under Wine).
std::wstring LibraryPath(const fs::path& p)
{
#ifdef _WIN32
    std::wstring w = p.wstring();
    return w.size() > 1 && w[0] == L'/' ? L"Z:" + w : w;
#else
    return p.wstring();
#endif
}

Bytes Segment(const PlExifContext& ctx)
{
    IPlExifBuffer* buf = nullptr;
    if (ctx.WriteWholeApp1ToBuffer(buf) != eOk)
        return {};
    Bytes out(buf->GetData(), buf->GetData() + buf->GetSize());
    buf->Release();
    return out;
}

Bytes Thumbnail(const PlExifContext& ctx)
{
    unsigned long size = 0;
    const unsigned char* p = ctx.GetThumbnail();
    return p && ctx.GetThumbnailSize(size) == eOk ? Bytes(p, p + size) : Bytes();
}

// The bytes after the first APP1 segment (everything when there is none after SOI/APP0).
Bytes AfterSegment(const Bytes& file)
{
    size_t p = 0;
    while (p + 1 < file.size() && p < 28 && !(file[p] == 0xFF && file[p + 1] == 0xD8))
        ++p;
    p += 2;
    if (p + 4 <= file.size() && file[p] == 0xFF && file[p + 1] == 0xE0)
        p += 2 + ((file[p + 2] << 8) | file[p + 3]);
    if (p + 4 <= file.size() && file[p] == 0xFF && file[p + 1] == 0xE1)
        p += 2 + ((file[p + 2] << 8) | file[p + 3]);
    return Bytes(file.begin() + static_cast<long>(std::min(p, file.size())), file.end());
}

std::vector<fs::path> Jpegs(const fs::path& dir)
{
    std::vector<fs::path> out;
    for (const auto& e : fs::directory_iterator(dir))
    {
        std::string ext = e.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
        if (ext == ".jpg" || ext == ".jpeg" || ext == ".jpe" || ext == ".jfif")
            out.push_back(e.path());
    }
    std::sort(out.begin(), out.end());
    return out;
}

// Reads every file, rewrites a copy and compares; answers how many files had EXIF data.
size_t RoundTripAll(const fs::path& dir)
{
    const fs::path work = fs::temp_directory_path() / "exif_io_roundtrip";
    fs::create_directories(work);
    size_t tagged = 0;
    for (const fs::path& file : Jpegs(dir))
    {
        SCOPED_TRACE(file.filename().string());
        PlExifContext ctx;
        const EError e = ctx.ReadFromFile(LibraryPath(file).c_str());
        // Damaged directories are refused as a whole (eErrFailed); the probe looks at the
        // header only.
        EXPECT_TRUE(e == eOk || e == eErrNoExif || e == eErrFailed) << std::hex << e;
        if (e != eErrFailed)
        {
            EXPECT_EQ(PlExifContext::IsTaggedFile(LibraryPath(file).c_str()), e);
        }
        if (e != eOk)
            continue;
        ++tagged;
        const Bytes original = Get(file);
        const fs::path copy = work / ("copy" + file.extension().string());
        fs::copy_file(file, copy, fs::copy_options::overwrite_existing);
        PlExifContext again;
        if (ctx.WriteToFile(LibraryPath(copy).c_str()) != eOk ||
            again.ReadFromFile(LibraryPath(copy).c_str()) != eOk)
        {
            ADD_FAILURE() << "the rewritten copy does not read back";
            continue;
        }
        // The same segment: every written tag with its type, count and bytes. (An IFD1 that
        // describes no JPEG thumbnail is not written, so tag counts may differ.)
        EXPECT_EQ(Segment(again), Segment(ctx));
        EXPECT_EQ(Thumbnail(again), Thumbnail(ctx));
        EXPECT_EQ(AfterSegment(Get(copy)), AfterSegment(original));
    }
    fs::remove_all(work);
    return tagged;
}

} // namespace

TEST(ExifRealFiles, FixturesFromExifToolAndImageMagick)
{
    const fs::path dir = PL_EXIF_FIXTURES;
    ASSERT_TRUE(fs::is_directory(dir)) << dir;
    // Every fixture but the three without EXIF (plain.jfif, bare.jpg, xmp-first.jpg) has it.
    EXPECT_EQ(RoundTripAll(dir), Jpegs(dir).size() - 3);

    PlExifContext ctx;
    ASSERT_EQ(ctx.ReadFromFile(LibraryPath(dir / "le-thumb-vendor.JPG").c_str()), eOk);
    EXPECT_FALSE(Thumbnail(ctx).empty());
    EXPECT_EQ(Thumbnail(ctx).at(0), 0xFF);
}

TEST(ExifRealFiles, SharedCorpus)
{
    const fs::path dir = PL_EXIF_CORPUS;
    if (!fs::is_directory(dir))
        GTEST_SKIP() << "no corpus at " << dir;
    EXPECT_GE(RoundTripAll(dir), 50u);
}
