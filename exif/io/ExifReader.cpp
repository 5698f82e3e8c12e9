#include "ExifReader.h"

#include "App1Locator.h"
#include "ExifContext.h"
#include "ExifJpegName.h"
#include "ExifTag.h"
#include "ExifTagDef.h"
#include "ExifTagTypes.h"
#include "TiffWalker.h"
#include "osal/PlFile.h"

#include <cstring>
#include <new>

namespace PlExif
{

namespace
{

// Files and buffers are recognised by their first 128 bytes.
constexpr size_t kHeaderWindow = 128;

// Allocates m_app1 and fills the part of the segment that lies in the header window; the caller
// fills the rest (or drops the segment when it cannot).
bool StartApp1(CExifContext& ctx, const uint8_t* window, const SApp1Location& at, size_t& copied)
{
    if (!ctx.m_app1.AllocateForOverwrite(at.nTotalSize))
        return false;
    copied = kHeaderWindow - at.nOffset;
    if (copied > at.nTotalSize)
        copied = at.nTotalSize;
    std::memcpy(ctx.m_app1.Data(), window + at.nOffset, copied);
    return true;
}

} // namespace

EError CExifContext::ReadApp1FromFile(const PlOSAL::PlWString& path)
{
    Clear();
    if (!IsJpegFileName(path))
        return eErrFileType;
    EError result = eErrFailed;
    {
        PlOSAL::CPlFile file;
        uint8_t window[kHeaderWindow];
        SApp1Location at;
        size_t copied = 0;
        if (!file.Open(PlOSAL::ToWide(path).c_str(), PlOSAL::CPlFile::eRead))
            result = eErrFileOpen;
        else if (!file.Read(window, sizeof window))
            result = eErrFailed;
        else if (!LocateApp1(window, sizeof window, at))
            result = eErrNoExif;
        else if (!StartApp1(*this, window, at, copied) ||
                 !file.Read(m_app1.Data() + copied, at.nTotalSize - copied))
            result = eErrFailed;
        else
            result = eOk;
    }
    if (result == eOk)
        result = CExifReader::Parse(*this);
    if (result != eOk)
        Clear();
    return result;
}

EError CExifContext::ReadApp1FromData(const uint8_t* data, uint32_t size)
{
    Clear();
    SApp1Location at;
    size_t copied = 0;
    EError result = eOk;
    if (!data || size < kHeaderWindow)
        result = data ? eErrFailed : eErrFileType;
    else if (!LocateApp1(data, kHeaderWindow, at))
        result = eErrNoExif;
    else if (!SpanInside(at.nOffset, at.nTotalSize, size) || !StartApp1(*this, data, at, copied))
        result = eErrFailed;
    else
    {
        std::memcpy(m_app1.Data() + copied, data + kHeaderWindow, at.nTotalSize - copied);
        result = CExifReader::Parse(*this);
    }
    if (result != eOk)
        Clear();
    return result;
}

EError CExifContext::ProbeFile(const PlOSAL::PlWString& path)
{
    PlOSAL::CPlFile file;
    if (!file.Open(PlOSAL::ToWide(path).c_str(), PlOSAL::CPlFile::eRead))
        return eErrFileOpen;
    uint64_t size = 0;
    if (!file.Size(size) || size < kHeaderWindow)
        return eErrFailed;
    if (!IsJpegFileName(path))
        return eErrFileType;
    uint8_t window[kHeaderWindow];
    SApp1Location at;
    if (!file.Read(window, sizeof window) || !LocateApp1(window, sizeof window, at))
        return eErrNoExif;
    // Only the header window is looked at; what of the segment lies in it is checked.
    const size_t inWindow = kHeaderWindow - at.nOffset;
    CTiffWalker walker(window + at.nOffset, inWindow < at.nTotalSize ? inWindow : at.nTotalSize);
    if (!walker.HasExifIdentifier())
        return eErrNoExif;
    return walker.ReadHeader() ? eOk : eErrFailed;
}

EError CExifReader::Parse(CExifContext& ctx)
{
    CTiffWalker walker(ctx.m_app1.Data(), ctx.m_app1.Size());
    if (!walker.HasExifIdentifier())
        return eErrNoExif;
    if (!walker.ReadHeader())
        return eErrFailed;
    ctx.m_bBigEndian = walker.BigEndian() ? 1 : 0;

    uint32_t next = 0;
    EError e = ParseDirectory(ctx, walker, walker.Ifd0Offset(), eIfd0, &next);
    if (e != eOk)
        return e;
    if (ctx.FindTag(eIfd0, kTagExifPointer))
    {
        e = ParseDirectory(ctx, walker, PointerValue(ctx, eIfd0, kTagExifPointer), eIfdExif,
                           nullptr);
        if (e != eOk)
            return e;
    }
    if (ctx.FindTag(eIfd0, kTagGpsPointer))
    {
        e = ParseDirectory(ctx, walker, PointerValue(ctx, eIfd0, kTagGpsPointer), eIfdGps, nullptr);
        if (e != eOk)
            return e;
    }
    if (ctx.Ifd(eIfdExif) && ctx.FindTag(eIfdExif, kTagInteropPointer))
    {
        e = ParseDirectory(ctx, walker, PointerValue(ctx, eIfdExif, kTagInteropPointer),
                           eIfdInterop, nullptr);
        if (e != eOk)
            return e;
    }
    if (next == 0)
        return eOk;
    e = ParseDirectory(ctx, walker, next, eIfd1, nullptr);
    if (e != eOk)
        return e;
    LocateThumbnail(ctx);
    return eOk;
}

uint32_t CExifReader::PointerValue(const CExifContext& ctx, EExifIfd ifd, uint16_t tag)
{
    const CExifTag* t = ctx.FindTag(ifd, tag);
    if (!t || !t->m_pValue || !ctx.m_app1.Contains(t->m_pValue, 4))
        return 0; // an offset below 8 fails the directory parse
    return ReadU32(t->m_pValue, ctx.IsBigEndian());
}

EError CExifReader::ParseDirectory(CExifContext& ctx, const CTiffWalker& walker, uint32_t offset,
                                   EExifIfd ifdIndex, uint32_t* next)
{
    CExifIfd* ifd = ctx.GetIfd(ifdIndex);
    if (!ifd)
        return eErrFailed;
    ifd->m_nByteSize = 0;
    uint16_t count = 0;
    if (!walker.OpenDirectory(offset, count))
        return eErrFailed;
    ifd->m_nByteSize = 6;
    ifd->Reserve(ifd->GetCount() + count);
    uint8_t* const app1 = ctx.m_app1.Data();
    for (uint16_t i = 0; i < count; ++i)
    {
        const STiffEntry entry = walker.Entry(offset, i);
        // Positions outside the segment never become pointers.
        uint8_t* value = entry.nValuePos <= ctx.m_app1.Size() ? app1 + entry.nValuePos : nullptr;
        if (!value)
            return eErrFailed;
        const SExifTagDef* row = FindRow(ifdIndex, entry.wTag);
        CExifTag* tag = row ? MakeTag(&ctx, *row, entry.nCount, value)
                            : new (std::nothrow) CExifTag(entry.wType, entry.wTag, &ctx, ifdIndex,
                                                          entry.nCount, value);
        if (!tag)
            return eErrFailed;
        tag->m_nFileType = entry.wType;
        const uint64_t size = tag->GetValueSize();
        if (!SpanInside(entry.nValuePos, size, ctx.m_app1.Size()))
        {
            tag->AddRef();
            tag->Release();
            return eErrFailed;
        }
        ifd->m_nByteSize += 12 + static_cast<uint32_t>(tag->GetOutOfLineSize());
        if (!ifd->Insert(tag))
        {
            // A second entry of the same number: the first stays.
            tag->AddRef();
            tag->Release();
        }
    }
    if (next && !walker.NextDirectory(offset, count, *next))
        return eErrFailed;
    return eOk;
}

void CExifReader::LocateThumbnail(CExifContext& ctx)
{
    const CExifTag* offsetTag = ctx.FindTag(eIfd1, kTagThumbnailOffset);
    if (!offsetTag)
        return; // IFD1 stays, without a thumbnail
    const CExifTag* lengthTag = ctx.FindTag(eIfd1, kTagThumbnailLength);
    unsigned long offset = 0, length = 0;
    if (offsetTag->m_nType == eTypeLong && offsetTag->m_nCount == 1 && lengthTag &&
        offsetTag->GetLong(offset) == eOk && lengthTag->GetLong(length) == eOk && length > 0 &&
        SpanInside(CTiffWalker::kTiffBase + uint64_t(offset), length, ctx.m_app1.Size()))
    {
        ctx.m_pThumbnail = ctx.m_app1.Data() + CTiffWalker::kTiffBase + offset;
        return;
    }
    ctx.DropThumbnail();
}

} // namespace PlExif
