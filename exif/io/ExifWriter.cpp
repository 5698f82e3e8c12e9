#include "ExifWriter.h"

#include "App1Builder.h"
#include "App1Locator.h"
#include "ExifBytes.h"
#include "ExifContext.h"
#include "ExifJpegName.h"
#include "ExifString.h"
#include "ExifTag.h"
#include "ExifTagDef.h"
#include "osal/PlFile.h"

#include <vector>

namespace PlExif
{

namespace
{

CApp1Builder::EFixup FixupOf(EExifIfd ifd, uint16_t tag)
{
    if (ifd == eIfd0 && tag == kTagExifPointer)
        return CApp1Builder::eFixExif;
    if (ifd == eIfd0 && tag == kTagGpsPointer)
        return CApp1Builder::eFixGps;
    if (ifd == eIfdExif && tag == kTagInteropPointer)
        return CApp1Builder::eFixInterop;
    if (ifd == eIfd1 && tag == kTagThumbnailOffset)
        return CApp1Builder::eFixThumb;
    return CApp1Builder::eFixNone;
}

uint32_t Saturate(uint64_t size)
{
    return size > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(size);
}

CApp1Builder::SEntry EntryOf(const CExifContext& ctx, const CExifTag& tag,
                             std::vector<uint8_t>& converted)
{
    CApp1Builder::SEntry e;
    e.wTag = tag.m_wTag;
    e.wType = static_cast<uint16_t>(tag.m_nType);
    e.nCount = tag.m_nCount;
    e.eFixup = FixupOf(tag.m_nIfd, tag.m_wTag);
    // Directory pointers and the thumbnail offset are one LONG the builder fills in; whatever
    // the file held there takes no room.
    if (e.eFixup != CApp1Builder::eFixNone)
    {
        e.wType = eTypeLong;
        e.nCount = 1;
        return e;
    }
    if (!tag.m_pValue)
        return e;
    const uint64_t size = tag.GetValueSize();
    const bool fromFile = ctx.m_app1.Contains(tag.m_pValue, 0);
    e.pValue = tag.m_pValue;
    e.nValueSize = Saturate(size);
    // A LONG tag that the file stored as SHORT (an image width, say) is written as LONG with
    // each element widened, so that the value keeps its meaning in both byte orders; its
    // SHORT bytes relabelled as LONG would mean something else.
    if (fromFile && tag.m_nType == eTypeLong && tag.m_nFileType == eTypeShort)
    {
        const bool big = ctx.IsBigEndian();
        converted.resize(static_cast<size_t>(size));
        for (uint32_t i = 0; i < tag.m_nCount; ++i)
            WriteU32(converted.data() + 4 * i, ReadU16(tag.m_pValue + 2 * i, big), big);
        e.pValue = converted.data();
        e.nFieldBytes = static_cast<uint32_t>(size <= 4 ? size : 0);
        return e;
    }
    // A value read under another type of the same element size (an SRATIONAL coordinate
    // of a RATIONAL tag, say) keeps the file's type: its bytes stay what the file said.
    if (fromFile && tag.m_nFileType != tag.m_nType && tag.m_nFileType <= 0xFFFF &&
        ElementSize(tag.m_nFileType) == ElementSize(tag.m_nType))
        e.wType = static_cast<uint16_t>(tag.m_nFileType);
    if (size <= 4)
    {
        // The field as read (value and the rest of its four bytes), or the tag's own value.
        size_t room = static_cast<size_t>(size);
        if (fromFile)
        {
            const size_t left =
                ctx.m_app1.Size() - static_cast<size_t>(tag.m_pValue - ctx.m_app1.Data());
            room = left < 4 ? left : 4;
        }
        e.nFieldBytes = static_cast<uint32_t>(room);
    }
    return e;
}

// The thumbnail bytes and their length, when both are present and consistent.
bool ThumbnailBytes(const CExifContext& ctx, const uint8_t*& data, uint32_t& length)
{
    const CExifTag* lengthTag = ctx.FindTag(eIfd1, kTagThumbnailLength);
    unsigned long n = 0;
    if (!ctx.m_pThumbnail || !lengthTag || lengthTag->GetLong(n) != eOk)
        return false;
    data = ctx.m_pThumbnail;
    length = static_cast<uint32_t>(n);
    // Never copy beyond the block that holds the thumbnail.
    return ctx.m_app1.Contains(data, length) || ctx.m_ownThumbnail.Contains(data, length);
}

} // namespace

void CExifWriter::WriteIfd(const CExifContext& ctx, EExifIfd index, CApp1Builder& builder,
                           size_t* nextField)
{
    const CExifIfd* ifd = ctx.Ifd(index);
    std::vector<CApp1Builder::SEntry> entries;
    std::vector<std::vector<uint8_t>> converted(ifd->m_tags.size());
    entries.reserve(ifd->m_tags.size());
    for (const auto& [number, tag] : ifd->m_tags)
        entries.push_back(EntryOf(ctx, *tag, converted[entries.size()]));
    const size_t next = builder.WriteDirectory(entries.data(), entries.size());
    if (nextField)
        *nextField = next;
}

EError CExifWriter::BuildApp1(const CExifContext& ctx, CApp1Builder& builder)
{
    builder.Begin();
    if (!ctx.Ifd(eIfd0))
        return eErrFailed;
    size_t ifd0Next = 0;
    WriteIfd(ctx, eIfd0, builder, &ifd0Next);

    static const struct
    {
        CApp1Builder::EFixup fixup;
        EExifIfd ifd;
    } kChildren[] = {{CApp1Builder::eFixExif, eIfdExif},
                     {CApp1Builder::eFixInterop, eIfdInterop},
                     {CApp1Builder::eFixGps, eIfdGps}};
    for (const auto& child : kChildren)
    {
        if (!builder.Pending(child.fixup) || !ctx.Ifd(child.ifd))
            continue;
        builder.Fill(child.fixup, builder.TiffOffset());
        WriteIfd(ctx, child.ifd, builder, nullptr);
    }

    if (ctx.Ifd(eIfd1) && ctx.m_pThumbnail)
    {
        builder.Patch(ifd0Next, builder.TiffOffset());
        WriteIfd(ctx, eIfd1, builder, nullptr);
        const uint8_t* data = nullptr;
        uint32_t length = 0;
        if (ThumbnailBytes(ctx, data, length))
        {
            builder.Fill(CApp1Builder::eFixThumb, builder.TiffOffset());
            builder.Append(data, length);
        }
    }
    return builder.Finish() ? eOk : eErrTooLarge;
}

EError CExifContext::WriteApp1ToFile(const PlOSAL::PlWString& path) const
{
    if (!IsJpegFileName(path))
        return eErrFileType;
    if (EstimateApp1Size() > kApp1Budget)
        return eErrFailed;
    PlOSAL::CPlFile file;
    if (!file.Open(PlOSAL::ToWide(path).c_str(), PlOSAL::CPlFile::eReadWriteOnly))
        return eErrFileOpen;

    uint64_t size = 0;
    CByteBlock image;
    if (!file.Size(size) || size > SIZE_MAX || !image.Allocate(static_cast<size_t>(size)) ||
        !file.Read(image.Data(), static_cast<size_t>(size)))
        return eErrFailed;

    // The new segment replaces the first APP1 segment, or goes in after SOI (and APP0).
    size_t prefix = 0, resume = 0;
    SApp1Location at;
    if (LocateApp1(image.Data(), image.Size(), at))
    {
        // A segment that claims to run past the end of the file leaves nothing to keep after
        // it; such a file is refused rather than cut.
        if (!SpanInside(at.nOffset, at.nTotalSize, image.Size()))
            return eErrFailed;
        prefix = at.nOffset;
        resume = at.nOffset + at.nTotalSize;
    }
    else if (FindApp1InsertionPoint(image.Data(), image.Size(), prefix))
        resume = prefix;
    else
        return eErrFailed;

    CApp1Builder builder(IsBigEndian());
    const EError built = CExifWriter::BuildApp1(*this, builder);
    if (built != eOk)
        return built;
    const PlOSAL::SPlBytes parts[] = {{image.Data(), prefix},
                                      {builder.Segment().data(), builder.Segment().size()},
                                      {image.Data() + resume, image.Size() - resume}};
    return file.Replace(parts, 3) ? eOk : eErrFailed;
}

EError CExifContext::CopyApp1(IPlExifBuffer*& buffer) const
{
    buffer = nullptr;
    CApp1Builder builder(IsBigEndian());
    const EError built = CExifWriter::BuildApp1(*this, builder);
    if (built != eOk)
        return built;
    return CExifBuffer::HandOut(builder.Segment().data(), builder.Segment().size(), buffer);
}

EError CExifContext::SetThumbnail(const uint8_t* data, uint32_t size)
{
    if (!data && size != 0)
        return eErrFailed;
    uint32_t current = 0;
    if (!GetThumbnailLength(current))
        current = 0;

    CExifIfd* ifd1 = GetIfd(eIfd1);
    CExifTag* offsetTag = nullptr;
    CExifTag* lengthTag = nullptr;
    EError e = eErrFailed;
    if (ifd1 && GetOrCreateTag(*GetRow(eTagJPEGInterchangeFormat), *ifd1, offsetTag) == eOk &&
        GetOrCreateTag(*GetRow(eTagJPEGInterchangeFormatLength), *ifd1, lengthTag) == eOk)
    {
        offsetTag->SetLong(0);
        if (size > current && size - current > GetBudgetRoom())
            e = eErrTooLarge;
        else if (m_ownThumbnail.Assign(data, size))
        {
            m_pThumbnail = m_ownThumbnail.Data();
            lengthTag->SetLong(size);
            return eOk;
        }
    }
    DropThumbnail();
    return e;
}

} // namespace PlExif
