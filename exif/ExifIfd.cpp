// ExifIfd.cpp - one tag directory.

#include "ExifIfd.h"

#include "ExifTag.h"

#include <algorithm>

namespace PlExif
{

CExifIfd::CExifIfd(CExifContext* context, EExifIfd ifd)
    : m_nByteSize(6), m_pContext(context), m_nIfd(ifd)
{
}

CExifIfd::~CExifIfd()
{
    for (auto& entry : m_tags)
        entry.second->Release();
}

namespace
{

bool NumberBelow(const std::pair<uint16_t, CExifTag*>& entry, uint16_t number)
{
    return entry.first < number;
}

} // namespace

CExifTag* CExifIfd::Find(uint16_t tag) const
{
    const auto it = std::lower_bound(m_tags.begin(), m_tags.end(), tag, NumberBelow);
    return it == m_tags.end() || it->first != tag ? nullptr : it->second;
}

void CExifIfd::Reserve(size_t count) noexcept
{
    try
    {
        m_tags.reserve(count);
    }
    catch (...)
    {
    }
}

bool CExifIfd::Insert(CExifTag* tag)
{
    const uint16_t number = tag->m_wTag;
    // Files are mostly written in tag order: the end is the common place.
    auto at = m_tags.end();
    if (!m_tags.empty() && m_tags.back().first >= number)
    {
        at = std::lower_bound(m_tags.begin(), m_tags.end(), number, NumberBelow);
        if (at->first == number)
            return false;
    }
    try
    {
        m_tags.emplace(at, number, tag);
    }
    catch (...)
    {
        return false;
    }
    tag->AddRef();
    return true;
}

bool CExifIfd::Remove(uint16_t tag)
{
    const auto it = std::lower_bound(m_tags.begin(), m_tags.end(), tag, NumberBelow);
    if (it == m_tags.end() || it->first != tag)
        return false;
    CExifTag* removed = it->second;
    m_tags.erase(it);
    m_nByteSize -= static_cast<uint32_t>(12 + removed->GetOutOfLineSize());
    removed->Release();
    return true;
}

} // namespace PlExif
