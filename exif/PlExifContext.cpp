// PlExifContext.cpp - the exported handle: argument checks, then forwarding to CExifContext.

#include "ExifContext.h"
#include "ExifGuard.h"
#include "ExifJpegName.h"
#include "ExifString.h"
#include "ExifTag.h"
#include "ExifTagDef.h"
#include "ExifText.h"
#include "PlExifTagIterator.h"

#include <climits>

namespace PlExif
{

namespace
{

uint32_t IdOf(EExifTagId id)
{
    return static_cast<uint32_t>(id);
}

} // namespace

PlExifContext::PlExifContext() : m_pContext(CExifContext::Create())
{
    if (m_pContext != nullptr)
        m_pContext->AddRef();
}

PlExifContext::PlExifContext(const PlExifContext& other)
    : m_pContext(other.m_pContext ? CExifContext::Copy(*other.m_pContext) : CExifContext::Create())
{
    if (m_pContext != nullptr)
        m_pContext->AddRef();
}

PlExifContext& PlExifContext::operator=(const PlExifContext& other)
{
    if (this == &other)
        return *this;
    CExifContext* copy =
        other.m_pContext ? CExifContext::Copy(*other.m_pContext) : CExifContext::Create();
    if (copy == nullptr)
    {
        // No memory for the copy: the handle keeps its own context, emptied, rather than none.
        if (m_pContext != nullptr)
            m_pContext->Clear();
        return *this;
    }
    copy->AddRef();
    if (m_pContext != nullptr)
    {
        m_pContext->Clear();
        m_pContext->Release();
    }
    m_pContext = copy;
    return *this;
}

PlExifContext::~PlExifContext()
{
    if (m_pContext != nullptr)
    {
        m_pContext->Clear();
        m_pContext->Release();
    }
}

void PlExifContext::Clear()
{
    if (m_pContext != nullptr)
        m_pContext->Clear();
}

EError PlExifContext::ReadFromFile(const wchar_t* path)
{
    return Guarded(
        [&]
        {
            if (m_pContext == nullptr)
                return eErrFailed;
            const EError result = m_pContext->ReadApp1FromFile(PlOSAL::FromWide(path));
            if (result != eOk)
                m_pContext->Clear();
            return result;
        });
}

EError PlExifContext::ReadFromData(const unsigned char* data, unsigned long size)
{
    return Guarded(
        [&]
        {
            if (m_pContext == nullptr)
                return eErrFailed;
            m_pContext->Clear();
            if (data == nullptr)
                return eErrFileType;
            if (size > UINT32_MAX)
                return eErrFailed;
            const EError result = m_pContext->ReadApp1FromData(data, static_cast<uint32_t>(size));
            if (result != eOk)
                m_pContext->Clear();
            return result;
        });
}

EError PlExifContext::WriteToFile(const wchar_t* path) const
{
    return Guarded(
        [&]
        {
            if (m_pContext == nullptr)
                return eErrFailed;
            if (m_pContext->Ifd(eIfd0) == nullptr && m_pContext->Ifd(eIfd1) == nullptr)
                return eErrNoTags;
            const PlOSAL::PlWString name = PlOSAL::FromWide(path);
            if (!IsJpegFileName(name))
                return eErrFileType;
            return m_pContext->WriteApp1ToFile(name);
        });
}

EError PlExifContext::WriteWholeApp1ToBuffer(IPlExifBuffer*& buffer) const
{
    return Guarded(
        [&]
        {
            if (m_pContext == nullptr || m_pContext->Ifd(eIfd0) == nullptr)
                return eErrFailed;
            return m_pContext->CopyApp1(buffer);
        });
}

EError PlExifContext::IsTaggedFile(const wchar_t* path)
{
    return Guarded([&] { return CExifContext::ProbeFile(PlOSAL::FromWide(path)); });
}

long PlExifContext::GetNumTags() const
{
    return m_pContext ? m_pContext->GetNumTags() : 0;
}

EError PlExifContext::GetTagIterator(IPlExifTagIterator*& iterator) const
{
    if (m_pContext == nullptr)
        return eErrFailed;
    CPlExifTagIterator* created = CPlExifTagIterator::Create(m_pContext);
    if (created == nullptr)
    {
        iterator = nullptr;
        return eErrOutOfMemory;
    }
    created->AddRef();
    iterator = created;
    return eOk;
}

EError PlExifContext::GetTag(EExifTagId id, const IPlExifTag*& tag) const
{
    if (m_pContext == nullptr)
        return eErrFailed;
    const SExifTagDef* row = GetRow(IdOf(id));
    CExifTag* found =
        row ? m_pContext->FindTag(static_cast<EExifIfd>(row->ifd), static_cast<uint16_t>(row->tag))
            : nullptr;
    if (found == nullptr)
    {
        tag = nullptr;
        return eErrNotFound;
    }
    found->AddRef();
    tag = found;
    return eOk;
}

EError PlExifContext::GetTag(EExifTagId id, IPlExifTag*& tag)
{
    if (IsReadOnlyId(IdOf(id)))
        return eErrReadOnlyTag;
    const IPlExifTag* found = nullptr;
    const EError result = static_cast<const PlExifContext*>(this)->GetTag(id, found);
    // The non-const form hands out a tag the client may change: it is one the client may own.
    tag = const_cast<IPlExifTag*>(found);
    return result;
}

EError PlExifContext::CreateTag(EExifTagId id, IPlExifTag*& tag)
{
    return Guarded(
        [&]
        {
            if (IsReadOnlyId(IdOf(id)))
                return eErrReadOnlyTag;
            const SExifTagDef* row = GetRow(IdOf(id));
            if (m_pContext == nullptr || row == nullptr)
                return eErrFailed;
            CExifIfd* ifd = m_pContext->GetIfd(static_cast<EExifIfd>(row->ifd));
            if (ifd == nullptr)
                return eErrFailed;
            CExifTag* created = nullptr;
            const EError result = m_pContext->GetOrCreateTag(*row, *ifd, created);
            if (result != eOk)
                return result;
            created->AddRef();
            tag = created;
            return eOk;
        });
}

EError PlExifContext::RemoveTag(EExifTagId id)
{
    return Guarded(
        [&]
        {
            if (IsReadOnlyId(IdOf(id)))
                return eErrReadOnlyTag;
            if (m_pContext == nullptr || IdOf(id) >= kTagIdCount)
                return eErrFailed;
            return m_pContext->RemoveTag(IdOf(id));
        });
}

EError PlExifContext::GetTagDisplayName(EExifTagId id, IPlExifString*& name) const
{
    return Guarded(
        [&]
        {
            const SExifTagDef* row = GetRow(IdOf(id));
            if (row == nullptr)
            {
                name = nullptr;
                return eErrNotFound;
            }
            return CExifString::HandOut(LoadTextOrEmpty(row->nameId), name);
        });
}

const unsigned char* PlExifContext::GetThumbnail() const
{
    return m_pContext ? m_pContext->m_pThumbnail : nullptr;
}

EError PlExifContext::GetThumbnailSize(unsigned long& size) const
{
    if (m_pContext == nullptr)
        return eErrFailed;
    const CExifTag* length = m_pContext->FindTag(eIfd1, kTagThumbnailLength);
    if (length == nullptr)
        return eErrNotFound;
    return length->GetLong(size);
}

EError PlExifContext::SetThumbnail(const unsigned char* data, unsigned long size, unsigned long*)
{
    return Guarded(
        [&]
        {
            if (m_pContext == nullptr || (data == nullptr && size != 0))
                return eErrFailed;
            if (size > UINT32_MAX)
                return eErrTooLarge;
            return m_pContext->SetThumbnail(data, static_cast<uint32_t>(size));
        });
}

EError PlExifContext::RemoveThumbnail()
{
    if (m_pContext == nullptr)
        return eErrFailed;
    m_pContext->DropThumbnail();
    // Callers of this operation have always been given eErrFailed, also after a removal.
    return eErrFailed;
}

void SetLanguageID(unsigned short languageId)
{
    SetCurrentLanguage((languageId & 0x3FF) == 0x07 ? kLangGerman : kLangEnglishUK);
}

} // namespace PlExif
