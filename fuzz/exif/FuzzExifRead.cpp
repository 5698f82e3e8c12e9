#include "FuzzExifRead.h"

#include "PlExif.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace PlExif;

namespace
{

void Check(bool condition, const char* what)
{
    if (!condition)
    {
        std::fprintf(stderr, "fuzz_exif: %s\n", what);
        std::abort();
    }
}

void Consume(IPlExifString* s)
{
    if (!s)
        return;
    std::vector<wchar_t> buf(static_cast<size_t>(s->GetLength()) + 1);
    s->GetString(buf.data(), static_cast<long>(buf.size()));
    s->Release();
}

void FormatEverything(const PlExifContext& ctx)
{
    IPlExifTagIterator* it = nullptr;
    Check(ctx.GetTagIterator(it) == eOk, "no iterator");
    IPlExifTag* tag = nullptr;
    long seen = 0;
    while (it->Next(tag) == eOk)
    {
        ++seen;
        IPlExifString* s = nullptr;
        if (tag->GetDisplayName(s) == eOk)
            Consume(s);
        if (tag->GetValueText(s) == eOk)
            Consume(s);
        if (tag->GetString(s) == eOk)
            Consume(s);
        unsigned short sh;
        unsigned long ul, ul2;
        long sl;
        SYSTEMTIME when;
        tag->GetShort(sh);
        tag->GetLong(ul);
        tag->GetSLong(sl);
        tag->GetRational(ul, ul2);
        tag->GetDateTime(when);
        IPlExifBuffer* b = nullptr;
        if (tag->GetUndefined(b) == eOk)
        {
            volatile unsigned char sink = b->GetSize() ? b->GetData()[b->GetSize() - 1] : 0;
            (void)sink;
            b->Release();
        }
        tag->Release();
    }
    it->Release();
    Check(seen == ctx.GetNumTags(), "iterator and GetNumTags disagree");
    unsigned long size = 0;
    const unsigned char* thumb = ctx.GetThumbnail();
    if (thumb && ctx.GetThumbnailSize(size) == eOk && size)
    {
        volatile unsigned char sink = thumb[size - 1];
        (void)sink;
    }
}

// A JPEG image around a segment: SOI, the segment, EOI, padded to the 128-byte header window.
std::vector<unsigned char> Jpeg(IPlExifBuffer* segment)
{
    std::vector<unsigned char> jpeg = {0xFF, 0xD8};
    jpeg.insert(jpeg.end(), segment->GetData(), segment->GetData() + segment->GetSize());
    jpeg.push_back(0xFF);
    jpeg.push_back(0xD9);
    if (jpeg.size() < 128)
        jpeg.resize(128, 0);
    return jpeg;
}

} // namespace

void FuzzExifRead(const uint8_t* data, size_t size)
{
    PlExifContext ctx;
    if (ctx.ReadFromData(data, static_cast<unsigned long>(size)) != eOk)
    {
        Check(ctx.GetNumTags() == 0, "a failed read left tags behind");
        return;
    }
    FormatEverything(ctx);
    const PlExifContext copy(ctx);
    FormatEverything(copy);

    IPlExifBuffer* first = nullptr;
    if (ctx.WriteWholeApp1ToBuffer(first) != eOk)
        return;
    const std::vector<unsigned char> jpeg = Jpeg(first);
    PlExifContext again;
    Check(again.ReadFromData(jpeg.data(), static_cast<unsigned long>(jpeg.size())) == eOk,
          "a written segment does not read back");
    FormatEverything(again);
    IPlExifBuffer* second = nullptr;
    Check(again.WriteWholeApp1ToBuffer(second) == eOk, "a read-back segment does not write");
    Check(second->GetSize() == first->GetSize() &&
              std::memcmp(second->GetData(), first->GetData(), first->GetSize()) == 0,
          "writing a read-back segment changes it");
    second->Release();
    first->Release();
}
