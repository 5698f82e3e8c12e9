// PlExifTagIterator.cpp - walking the tags of a context directory by directory.

#include "PlExifTagIterator.h"

#include "ExifContext.h"
#include "ExifTag.h"

#include <algorithm>

namespace PlExif
{

CPlExifTagIterator* CPlExifTagIterator::Create(CExifContext* context) noexcept
{
    return new (std::nothrow) CPlExifTagIterator(context);
}

CPlExifTagIterator::CPlExifTagIterator(CExifContext* context) : m_pContext(context)
{
    m_pContext->AddRef();
}

CPlExifTagIterator::~CPlExifTagIterator()
{
    m_pContext->Release();
}

unsigned long CPlExifTagIterator::AddRef()
{
    return static_cast<unsigned long>(m_nRefs.Increment());
}

unsigned long CPlExifTagIterator::Release()
{
    const long n = m_nRefs.Decrement();
    if (n == 0)
        delete this;
    return static_cast<unsigned long>(n);
}

EError CPlExifTagIterator::Reset()
{
    m_pCurrent = nullptr;
    return eOk;
}

CExifTag* CPlExifTagIterator::Advance()
{
    // Directories in the order IFD0, GPS, Exif, Interop, IFD1; empty ones are passed over, so an
    // empty IFD0 kept for IFD1's sake does not hide IFD1's tags.
    uint32_t ifd = m_pCurrent ? static_cast<uint32_t>(m_nCurrentIfd) : 0;
    bool within = m_pCurrent != nullptr;
    for (; ifd < kIfdCount; ++ifd, within = false)
    {
        const CExifIfd* dir = m_pContext->Ifd(static_cast<EExifIfd>(ifd));
        if (dir == nullptr)
            continue;
        const auto it =
            within ? std::upper_bound(dir->m_tags.begin(), dir->m_tags.end(), m_wCurrentTag,
                                      [](uint16_t number, const auto& entry)
                                      { return number < entry.first; })
                   : dir->m_tags.begin();
        if (it != dir->m_tags.end())
        {
            m_nCurrentIfd = static_cast<EExifIfd>(ifd);
            m_wCurrentTag = it->first;
            return it->second;
        }
    }
    return nullptr;
}

EError CPlExifTagIterator::Next(IPlExifTag*& tag)
{
    m_pCurrent = Advance();
    if (m_pCurrent == nullptr)
        return eErrEndOfTags;
    m_pCurrent->AddRef();
    tag = m_pCurrent;
    return eOk;
}

EError CPlExifTagIterator::Next(const IPlExifTag*& tag)
{
    IPlExifTag* next = nullptr;
    const EError result = Next(next);
    if (result == eOk)
        tag = next;
    return result;
}

} // namespace PlExif
