// Reading and writing JPEG files: extensions, short files, insertion and replacement of the
// segment with the rest of the file unchanged, files held by another program, and writes that
// fail half-way leaving the original untouched with no temporary file behind.
#include "ExifJpegBuilder.h"
#include "PlExif.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace PlExif;
using pltest::Bytes;
using pltest::CExifJpegBuilder;
namespace fs = std::filesystem;

namespace
{

class ExifFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() /
                ("exif_io_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                 "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path Put(const char* name, const Bytes& bytes)
    {
        const fs::path p = m_dir / name;
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
        return p;
    }
    static Bytes Get(const fs::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    size_t FilesInDir() const
    {
        return static_cast<size_t>(std::distance(fs::directory_iterator(m_dir), {}));
    }

    fs::path m_dir;
};

Bytes Camera()
{
    CExifJpegBuilder b;
    b.ifd0 = {b.Text(0x010F, "Testmaker"), b.Short(0x0112, 6)};
    return b.Jpeg();
}

void SetMake(PlExifContext& ctx, const wchar_t* make)
{
    IPlExifTag* tag = nullptr;
    ASSERT_EQ(ctx.CreateTag(eTagMake, tag), eOk);
    EXPECT_EQ(tag->SetString(make), eOk);
    tag->Release();
}

Bytes Segment(const PlExifContext& ctx)
{
    IPlExifBuffer* buf = nullptr;
    EXPECT_EQ(ctx.WriteWholeApp1ToBuffer(buf), eOk);
    Bytes out(buf->GetData(), buf->GetData() + buf->GetSize());
    buf->Release();
    return out;
}

} // namespace

TEST_F(ExifFile, ChecksTheNameAndTheSizeBeforeReading)
{
    const Bytes jpeg = Camera();
    for (const char* name : {"photo.JPG", "photo.jpeg", "photo.Jpe", "photo.jfif"})
    {
        PlExifContext ctx;
        EXPECT_EQ(ctx.ReadFromFile(Put(name, jpeg).wstring().c_str()), eOk) << name;
        EXPECT_EQ(ctx.GetNumTags(), 2) << name;
        EXPECT_EQ(PlExifContext::IsTaggedFile((m_dir / name).wstring().c_str()), eOk) << name;
    }
    PlExifContext ctx;
    // Not opened at all: the file does not exist.
    EXPECT_EQ(ctx.ReadFromFile((m_dir / "photo.tif").wstring().c_str()), eErrFileType);
    EXPECT_EQ(ctx.ReadFromFile((m_dir / "missing.jpg").wstring().c_str()), eErrFileOpen);
    EXPECT_EQ(PlExifContext::IsTaggedFile((m_dir / "missing.jpg").wstring().c_str()), eErrFileOpen);

    const fs::path tiny = Put("tiny.jpg", Bytes(jpeg.begin(), jpeg.begin() + 100));
    EXPECT_EQ(ctx.ReadFromFile(tiny.wstring().c_str()), eErrFailed);
    EXPECT_EQ(PlExifContext::IsTaggedFile(tiny.wstring().c_str()), eErrFailed);

    CExifJpegBuilder b;
    b.ifd0 = {b.Short(0x0112, 1)};
    const fs::path xmp =
        Put("xmp.jpg", CExifJpegBuilder::Jpeg({CExifJpegBuilder::App1(b.Tiff(), "http")}));
    EXPECT_EQ(ctx.ReadFromFile(xmp.wstring().c_str()), eErrNoExif);
    EXPECT_EQ(PlExifContext::IsTaggedFile(xmp.wstring().c_str()), eErrNoExif);
}

TEST_F(ExifFile, InsertsReplacesAndKeepsTheRest)
{
    PlExifContext ctx;
    SetMake(ctx, L"Inserted");
    const Bytes seg = Segment(ctx);

    // A JFIF file without APP1 gets the segment right after its APP0.
    const Bytes app0 = CExifJpegBuilder::App0(18);
    const Bytes jfif = CExifJpegBuilder::Jpeg({app0});
    const fs::path plain = Put("plain.jpg", jfif);
    ASSERT_EQ(ctx.WriteToFile(plain.wstring().c_str()), eOk);
    Bytes expected(jfif.begin(), jfif.begin() + 2 + 18);
    expected.insert(expected.end(), seg.begin(), seg.end());
    expected.insert(expected.end(), jfif.begin() + 2 + 18, jfif.end());
    EXPECT_EQ(Get(plain), expected);

    // A bare JPEG gets it right after SOI.
    const Bytes bare = CExifJpegBuilder::Jpeg({});
    const fs::path barePath = Put("bare.jpg", bare);
    ASSERT_EQ(ctx.WriteToFile(barePath.wstring().c_str()), eOk);
    expected.assign(bare.begin(), bare.begin() + 2);
    expected.insert(expected.end(), seg.begin(), seg.end());
    expected.insert(expected.end(), bare.begin() + 2, bare.end());
    EXPECT_EQ(Get(barePath), expected);

    // An existing segment is replaced, and so is an XMP segment in first place.
    CExifJpegBuilder b;
    b.ifd0 = {b.Short(0x0112, 1)};
    for (const char* id : {"Exif", "http"})
    {
        const Bytes old = CExifJpegBuilder::App1(b.Tiff(), id);
        const Bytes file = CExifJpegBuilder::Jpeg({app0, old});
        const fs::path p = Put("replace.jpg", file);
        ASSERT_EQ(ctx.WriteToFile(p.wstring().c_str()), eOk) << id;
        expected.assign(file.begin(), file.begin() + 20);
        expected.insert(expected.end(), seg.begin(), seg.end());
        expected.insert(expected.end(), file.begin() + 20 + static_cast<long>(old.size()),
                        file.end());
        EXPECT_EQ(Get(p), expected) << id;
    }
    EXPECT_EQ(FilesInDir(), 3u) << "no temporary file is left";

    // No SOI in the first 28 bytes: refused, file unchanged.
    const Bytes notJpeg(300, 0x42);
    const fs::path junk = Put("junk.jpg", notJpeg);
    EXPECT_EQ(ctx.WriteToFile(junk.wstring().c_str()), eErrFailed);
    EXPECT_EQ(Get(junk), notJpeg);
}

TEST_F(ExifFile, ReadsAndWritesNamesBeyondAscii)
{
    // The name as the system spells it (UTF-8 on Linux) and as the library is given it.
    const std::wstring wide = m_dir.wstring() + L"/Bild_\u00e4\u00df_\u65e5\U0001F4F7.jpg";
#ifdef _WIN32
    const fs::path p(wide);
#else
    const fs::path p = m_dir.string() + "/Bild_\xc3\xa4\xc3\x9f_\xe6\x97\xa5\xf0\x9f\x93\xb7.jpg";
#endif
    const Bytes jpeg = Camera();
    std::ofstream(p, std::ios::binary)
        .write(reinterpret_cast<const char*>(jpeg.data()), static_cast<long>(jpeg.size()));
    PlExifContext ctx;
    ASSERT_EQ(ctx.ReadFromFile(wide.c_str()), eOk);
    SetMake(ctx, L"Unicode");
    EXPECT_EQ(ctx.WriteToFile(wide.c_str()), eOk);
    EXPECT_EQ(PlExifContext::IsTaggedFile(wide.c_str()), eOk);
    EXPECT_NE(Get(p), jpeg);
    EXPECT_EQ(FilesInDir(), 1u);
}

#ifndef _WIN32
TEST_F(ExifFile, RefusesWhatIsNotARegularFile)
{
    // A FIFO with a photo's name must not block the read or the probe.
    const fs::path fifo = m_dir / "pipe.jpg";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    PlExifContext ctx;
    EXPECT_EQ(ctx.ReadFromFile(fifo.wstring().c_str()), eErrFileOpen);
    EXPECT_EQ(PlExifContext::IsTaggedFile(fifo.wstring().c_str()), eErrFileOpen);
    SetMake(ctx, L"X");
    EXPECT_EQ(ctx.WriteToFile(fifo.wstring().c_str()), eErrFileOpen);
    fs::create_directory(m_dir / "folder.jpg");
    EXPECT_EQ(ctx.ReadFromFile((m_dir / "folder.jpg").wstring().c_str()), eErrFileOpen);
}

TEST_F(ExifFile, ARewriteKeepsThePermissions)
{
    const fs::path p = Put("mode.jpg", Camera());
    fs::permissions(p, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    PlExifContext ctx;
    ASSERT_EQ(ctx.ReadFromFile(p.wstring().c_str()), eOk);
    SetMake(ctx, L"Mode");
    ASSERT_EQ(ctx.WriteToFile(p.wstring().c_str()), eOk);
    EXPECT_EQ(fs::status(p).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}
#endif

TEST_F(ExifFile, AnswersFileOpenWhileAnotherProgramHoldsTheFile)
{
    PlExifContext ctx;
    SetMake(ctx, L"Held");
    const Bytes original = Camera();
    const fs::path held = Put("held.jpg", original);
#ifdef _WIN32
    HANDLE h = CreateFileW(held.wstring().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
#else
    const int fd = ::open(held.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
#endif
    EXPECT_EQ(ctx.WriteToFile(held.wstring().c_str()), eErrFileOpen);
#ifdef _WIN32
    CloseHandle(h);
#else
    ::close(fd);
#endif
    EXPECT_EQ(Get(held), original);
    const fs::path other = Put("other.jpg", original);
    EXPECT_EQ(ctx.WriteToFile(other.wstring().c_str()), eOk);
    EXPECT_EQ(ctx.WriteToFile(held.wstring().c_str()), eOk) << "and the original once it is free";
}

TEST_F(ExifFile, ReportsNoTagsAndWrongNamesBeforeTouchingTheFile)
{
    const Bytes original = Camera();
    const fs::path p = Put("photo.jpg", original);
    PlExifContext empty;
    EXPECT_EQ(empty.WriteToFile(p.wstring().c_str()), eErrNoTags);
    PlExifContext ctx;
    SetMake(ctx, L"X");
    EXPECT_EQ(ctx.WriteToFile((m_dir / "photo.png").wstring().c_str()), eErrFileType);
    EXPECT_EQ(ctx.WriteToFile((m_dir / "missing.jpg").wstring().c_str()), eErrFileOpen);
    EXPECT_EQ(Get(p), original);
}

#ifndef _WIN32
TEST_F(ExifFile, AFailedWriteLeavesTheOriginalAndNoTemporaryFile)
{
    // A file-size limit makes the write of the new content fail part-way, as a full disk does.
    Bytes original = Camera();
    original.resize(200000, 0x5A); // a large "image" after the segment
    const fs::path p = Put("big.jpg", original);
    PlExifContext ctx;
    ASSERT_EQ(ctx.ReadFromFile(p.wstring().c_str()), eOk);
    SetMake(ctx, L"Changed");

    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 100000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const EError e = ctx.WriteToFile(p.wstring().c_str());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(e, eErrFailed);
    EXPECT_EQ(Get(p), original);
    EXPECT_EQ(FilesInDir(), 1u);
}
#endif
