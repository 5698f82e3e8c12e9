// exif-bench [--seconds S] FILE...: reads all EXIF tags of the files and formats every value,
// and rewrites one tag (Software) in copies of them, with PlEXIF, exiv2 and libexif side by side
// in one run. Prints files per second for each library and PlEXIF's ratio to each peer.
#include "PlExif.h"

#include <exiv2/exiv2.hpp>
#include <libexif/exif-data.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace
{

using Clock = std::chrono::steady_clock;

std::wstring Wide(const std::string& s)
{
    return std::wstring(s.begin(), s.end()); // bench paths are ASCII
}

// ---- reading and formatting every tag -------------------------------------------------

size_t ReadPlExif(const std::string& path)
{
    PlExif::PlExifContext ctx;
    if (ctx.ReadFromFile(Wide(path).c_str()) != PlExif::eOk)
        return 0;
    size_t chars = 0;
    PlExif::IPlExifTagIterator* it = nullptr;
    if (ctx.GetTagIterator(it) != PlExif::eOk)
        return 0;
    const PlExif::IPlExifTag* tag = nullptr;
    while (it->Next(tag) == PlExif::eOk)
    {
        PlExif::IPlExifString* text = nullptr;
        if (tag->GetValueText(text) == PlExif::eOk)
        {
            chars += static_cast<size_t>(text->GetLength());
            text->Release();
        }
        tag->Release();
    }
    it->Release();
    return chars;
}

size_t ReadExiv2(const std::string& path)
{
    try
    {
        auto image = Exiv2::ImageFactory::open(path);
        image->readMetadata();
        size_t chars = 0;
        for (const auto& md : image->exifData())
            chars += md.print(&image->exifData()).size();
        return chars;
    }
    catch (const std::exception&)
    {
        return 0;
    }
}

size_t ReadLibexif(const std::string& path)
{
    ExifData* data = exif_data_new_from_file(path.c_str());
    if (!data)
        return 0;
    size_t chars = 0;
    char buf[1024];
    for (int i = 0; i < EXIF_IFD_COUNT; ++i)
    {
        ExifContent* content = data->ifd[i];
        for (unsigned j = 0; content && j < content->count; ++j)
            if (exif_entry_get_value(content->entries[j], buf, sizeof buf))
                chars += std::strlen(buf);
    }
    exif_data_unref(data);
    return chars;
}

// ---- rewriting one tag -------------------------------------------------------------------

bool WritePlExif(const std::string& path)
{
    PlExif::PlExifContext ctx;
    if (ctx.ReadFromFile(Wide(path).c_str()) != PlExif::eOk)
        return false;
    PlExif::IPlExifTag* tag = nullptr;
    if (ctx.CreateTag(PlExif::eTagSoftware, tag) != PlExif::eOk)
        return false;
    const bool ok = tag->SetString(L"bench") == PlExif::eOk;
    tag->Release();
    return ok && ctx.WriteToFile(Wide(path).c_str()) == PlExif::eOk;
}

bool WriteExiv2(const std::string& path)
{
    try
    {
        auto image = Exiv2::ImageFactory::open(path);
        image->readMetadata();
        image->exifData()["Exif.Image.Software"] = "bench";
        image->writeMetadata();
        return true;
    }
    catch (const std::exception&)
    {
        return false;
    }
}

std::vector<unsigned char> Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

// libexif has no JPEG writer of its own: its users splice the saved segment into the file.
bool WriteLibexif(const std::string& path)
{
    ExifData* data = exif_data_new_from_file(path.c_str());
    if (!data)
        return false;
    ExifEntry* entry = exif_content_get_entry(data->ifd[EXIF_IFD_0], EXIF_TAG_SOFTWARE);
    if (!entry)
    {
        entry = exif_entry_new();
        exif_content_add_entry(data->ifd[EXIF_IFD_0], entry);
        exif_entry_initialize(entry, EXIF_TAG_SOFTWARE);
        exif_entry_unref(entry);
    }
    static const char kValue[] = "bench";
    free(entry->data);
    entry->data = static_cast<unsigned char*>(malloc(sizeof kValue));
    std::memcpy(entry->data, kValue, sizeof kValue);
    entry->size = entry->components = sizeof kValue;
    entry->format = EXIF_FORMAT_ASCII;
    unsigned char* seg = nullptr;
    unsigned int segSize = 0;
    exif_data_save_data(data, &seg, &segSize);
    exif_data_unref(data);
    std::vector<unsigned char> file = Slurp(path);
    // Replace the first APP1 segment after SOI and an optional APP0.
    size_t p = 2;
    if (file.size() > 6 && file[p] == 0xFF && file[p + 1] == 0xE0)
        p += 2 + ((file[p + 2] << 8) | file[p + 3]);
    bool ok = seg && segSize + 2 <= 0xFFFF && p + 4 <= file.size() && file[p] == 0xFF &&
              file[p + 1] == 0xE1;
    if (ok)
    {
        const size_t old = 2 + ((file[p + 2] << 8) | file[p + 3]);
        const unsigned char head[4] = {0xFF, 0xE1, static_cast<unsigned char>((segSize + 2) >> 8),
                                       static_cast<unsigned char>(segSize + 2)};
        FILE* f = std::fopen(path.c_str(), "wb");
        ok = f && std::fwrite(file.data(), 1, p, f) == p && std::fwrite(head, 1, 4, f) == 4 &&
             std::fwrite(seg, 1, segSize, f) == segSize &&
             std::fwrite(file.data() + p + old, 1, file.size() - p - old, f) ==
                 file.size() - p - old;
        if (f)
            ok = std::fclose(f) == 0 && ok;
    }
    free(seg);
    return ok;
}

// Runs `one` over all files for about `seconds`; answers files per second.
double Measure(const std::vector<std::string>& files, double seconds,
               const std::function<bool(const std::string&)>& one)
{
    size_t done = 0;
    const auto start = Clock::now();
    double elapsed = 0;
    do
    {
        for (const std::string& f : files)
            done += one(f) ? 1 : 0;
        elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    } while (elapsed < seconds);
    return done / elapsed;
}

} // namespace

int main(int argc, char** argv)
{
    double seconds = 1.0;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i)
    {
        if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc)
            seconds = std::atof(argv[++i]);
        else
            files.push_back(argv[i]);
    }
    if (files.empty())
    {
        std::fprintf(stderr, "usage: exif-bench [--seconds S] FILE...\n");
        return 2;
    }
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);

    // Every library must read every file, or the comparison means nothing.
    std::vector<std::string> usable;
    for (const std::string& f : files)
        if (ReadPlExif(f) && ReadExiv2(f) && ReadLibexif(f))
            usable.push_back(f);
    if (usable.empty())
    {
        std::fprintf(stderr, "exif-bench: no file is read by all three libraries\n");
        return 1;
    }
    std::printf("%zu of %zu files read by all three libraries\n\n", usable.size(), files.size());

    const double rPl =
        Measure(usable, seconds, [](const std::string& f) { return ReadPlExif(f) > 0; });
    const double rEx =
        Measure(usable, seconds, [](const std::string& f) { return ReadExiv2(f) > 0; });
    const double rLe =
        Measure(usable, seconds, [](const std::string& f) { return ReadLibexif(f) > 0; });

    // Rewrites work on copies beside the originals, one set per library.
    auto copies = [&](const char* tag)
    {
        std::vector<std::string> out;
        for (size_t i = 0; i < usable.size(); ++i)
        {
            const std::string dst =
                "exif-bench-" + std::string(tag) + "-" + std::to_string(i) + ".jpg";
            std::vector<unsigned char> bytes = Slurp(usable[i]);
            std::ofstream(dst, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()));
            out.push_back(dst);
        }
        return out;
    };
    const auto cPl = copies("plexif"), cEx = copies("exiv2"), cLe = copies("libexif");
    const double wPl = Measure(cPl, seconds, WritePlExif);
    const double wEx = Measure(cEx, seconds, WriteExiv2);
    const double wLe = Measure(cLe, seconds, WriteLibexif);
    for (const auto* set : {&cPl, &cEx, &cLe})
        for (const std::string& f : *set)
            std::remove(f.c_str());

    std::printf("%-28s %12s %12s %12s %10s %10s\n", "files per second", "PlEXIF", "exiv2",
                "libexif", "vs exiv2", "vs libexif");
    std::printf("%-28s %12.0f %12.0f %12.0f %9.1fx %9.1fx\n", "read and format all tags", rPl, rEx,
                rLe, rPl / rEx, rPl / rLe);
    std::printf("%-28s %12.0f %12.0f %12.0f %9.1fx %9.1fx\n", "rewrite one tag", wPl, wEx, wLe,
                wPl / wEx, wPl / wLe);
    return 0;
}
