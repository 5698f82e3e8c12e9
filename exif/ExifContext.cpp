// ExifContext.cpp - directories, tag creation and removal, the budget, clearing and copying.

#include "ExifContext.h"

#include "ExifTag.h"
#include "ExifTagDef.h"

namespace PlExif
{

namespace
{

// The pointer tag (as EExifTagId) that records where a directory is written, or -1.
int PointerIdOf(EExifIfd ifd)
{
    switch (ifd)
    {
    case eIfdGps:
        return eTagGPSInfoIFDPointer;
    case eIfdExif:
        return eTagExifIFDPointer;
    case eIfdInterop:
        return eTagInteroperabilityIFDPointer;
    default:
        return -1;
    }
}

// The directory that holds a directory's pointer tag.
EExifIfd ParentOf(EExifIfd ifd)
{
    return ifd == eIfdInterop ? eIfdExif : eIfd0;
}

} // namespace

CExifContext* CExifContext::Create() noexcept
{
    return new (std::nothrow) CExifContext();
}

CExifContext::~CExifContext()
{
    Clear();
}

unsigned long CExifContext::AddRef()
{
    return static_cast<unsigned long>(m_nRefs.Increment());
}

unsigned long CExifContext::Release()
{
    const long n = m_nRefs.Decrement();
    if (n == 0)
        delete this;
    return static_cast<unsigned long>(n);
}

CExifIfd* CExifContext::GetIfd(EExifIfd ifd)
{
    if (ifd >= kIfdCount)
        return nullptr;
    if (m_ifd[ifd] != nullptr)
        return m_ifd[ifd];
    CExifIfd* created = new (std::nothrow) CExifIfd(this, ifd);
    if (created == nullptr)
        return nullptr;
    m_ifd[ifd] = created;
    const int pointerId = PointerIdOf(ifd);
    if (pointerId >= 0)
    {
        CExifIfd* parent = GetIfd(ParentOf(ifd));
        CExifTag* pointer = nullptr;
        if (parent != nullptr)
            GetOrCreateTag(*GetRow(static_cast<uint32_t>(pointerId)), *parent, pointer);
    }
    if (m_ifd[eIfd0] == nullptr)
        GetIfd(eIfd0);
    return created;
}

CExifTag* CExifContext::FindTag(EExifIfd ifd, uint16_t tag) const
{
    const CExifIfd* dir = Ifd(ifd);
    return dir ? dir->Find(tag) : nullptr;
}

EError CExifContext::GetOrCreateTag(const SExifTagDef& row, CExifIfd& ifd, CExifTag*& tag)
{
    tag = ifd.Find(static_cast<uint16_t>(row.tag));
    if (tag != nullptr)
        return eOk;
    CExifTag* created = row.maker(this, row, 0, nullptr);
    if (created == nullptr)
        return eErrFailed;
    if (!ifd.Insert(created))
    {
        delete created;
        return eErrFailed;
    }
    ifd.m_nByteSize += static_cast<uint32_t>(12 + created->GetOutOfLineSize());
    tag = created;
    return eOk;
}

EError CExifContext::RemoveTag(uint32_t id)
{
    const SExifTagDef* row = GetRow(id);
    if (row == nullptr)
        return eErrFailed;
    const auto ifd = static_cast<EExifIfd>(row->ifd);
    CExifIfd* dir = Ifd(ifd);
    if (dir == nullptr)
        return eOk;
    dir->Remove(static_cast<uint16_t>(row->tag));
    if (!dir->IsEmpty())
        return eTagRemoved;
    const int pointerId = PointerIdOf(ifd);
    if (pointerId >= 0)
        RemoveTag(static_cast<uint32_t>(pointerId));
    if (ifd == eIfd0 && m_ifd[eIfd1] != nullptr)
        return eTagRemoved;
    DestroyIfd(ifd);
    return eTagRemoved;
}

bool CExifContext::GetThumbnailLength(uint32_t& length) const
{
    const CExifTag* tag = FindTag(eIfd1, kTagThumbnailLength);
    unsigned long value = 0;
    if (tag == nullptr || tag->GetLong(value) != eOk)
        return false;
    length = static_cast<uint32_t>(value);
    return true;
}

uint32_t CExifContext::EstimateApp1Size() const
{
    uint64_t estimate = 16;
    uint32_t thumbnail = 0;
    if (GetThumbnailLength(thumbnail))
        estimate += thumbnail;
    for (const CExifIfd* dir : m_ifd)
    {
        if (dir != nullptr)
            estimate += dir->m_nByteSize;
    }
    return estimate > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(estimate);
}

uint32_t CExifContext::GetBudgetRoom() const
{
    const uint32_t estimate = EstimateApp1Size();
    return estimate <= kApp1Budget ? kApp1Budget - estimate : 0;
}

long CExifContext::GetNumTags() const
{
    size_t count = 0;
    for (const CExifIfd* dir : m_ifd)
    {
        if (dir != nullptr)
            count += dir->GetCount();
    }
    return static_cast<long>(count);
}

void CExifContext::DestroyIfd(EExifIfd ifd)
{
    delete m_ifd[ifd];
    m_ifd[ifd] = nullptr;
}

void CExifContext::Clear()
{
    for (uint32_t i = 0; i < kIfdCount; ++i)
        DestroyIfd(static_cast<EExifIfd>(i));
    m_app1.Free();
    m_ownThumbnail.Free();
    m_pThumbnail = nullptr;
    m_bBigEndian = 0;
}

void CExifContext::DropThumbnail()
{
    m_pThumbnail = nullptr;
    m_ownThumbnail.Free();
    DestroyIfd(eIfd1);
}

CExifContext* CExifContext::Copy(const CExifContext& other) noexcept
{
    CExifContext* copy = Create();
    if (copy == nullptr)
        return nullptr;
    bool ok =
        (other.m_app1.Empty() || copy->m_app1.Assign(other.m_app1.Data(), other.m_app1.Size())) &&
        (other.m_ownThumbnail.Empty() ||
         copy->m_ownThumbnail.Assign(other.m_ownThumbnail.Data(), other.m_ownThumbnail.Size()));
    copy->m_bBigEndian = other.m_bBigEndian;
    for (uint32_t i = 0; ok && i < kIfdCount; ++i)
    {
        const CExifIfd* source = other.m_ifd[i];
        if (source == nullptr)
            continue;
        const auto ifd = static_cast<EExifIfd>(i);
        CExifIfd* dir = new (std::nothrow) CExifIfd(copy, ifd);
        if (dir == nullptr)
        {
            ok = false;
            break;
        }
        copy->m_ifd[i] = dir;
        dir->m_nByteSize = source->m_nByteSize;
        for (const auto& entry : source->m_tags)
        {
            const CExifTag& tag = *entry.second;
            uint8_t* value = nullptr;
            CByteBlock own;
            const size_t size = static_cast<size_t>(tag.GetValueSize());
            if (tag.m_pValue != nullptr)
            {
                if (other.m_app1.Contains(tag.m_pValue, size))
                {
                    value = copy->m_app1.Data() + (tag.m_pValue - other.m_app1.Data());
                }
                else if (own.Assign(tag.m_pValue, size))
                {
                    value = own.Data();
                }
                else
                {
                    ok = false;
                    break;
                }
            }
            const SExifTagDef* row = FindRow(ifd, tag.m_wTag);
            CExifTag* made = row ? row->maker(copy, *row, tag.m_nCount, value)
                                 : new (std::nothrow) CExifTag(tag.m_nType, tag.m_wTag, copy, ifd,
                                                               tag.m_nCount, value);
            if (made == nullptr)
            {
                ok = false;
                break;
            }
            made->m_ownValue = std::move(own);
            // The copied bytes keep the layout they were read with (an image width stored as
            // SHORT stays readable as such in a big-endian copy).
            made->m_nFileType = tag.m_nFileType;
            if (!dir->Insert(made))
            {
                delete made;
                ok = false;
                break;
            }
        }
    }
    if (ok && other.m_pThumbnail != nullptr)
    {
        const uint8_t* begin = other.m_app1.Data();
        if (begin != nullptr && other.m_pThumbnail >= begin &&
            other.m_pThumbnail <= begin + other.m_app1.Size())
            copy->m_pThumbnail = copy->m_app1.Data() + (other.m_pThumbnail - begin);
        else if (other.m_ownThumbnail.Data() != nullptr &&
                 other.m_pThumbnail == other.m_ownThumbnail.Data())
            copy->m_pThumbnail = copy->m_ownThumbnail.Data();
    }
    if (!ok)
    {
        delete copy;
        return nullptr;
    }
    return copy;
}

} // namespace PlExif
