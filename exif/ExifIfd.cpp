// ExifIfd.cpp - one tag directory.

#include "ExifIfd.h"

#include "ExifTag.h"

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

CExifTag* CExifIfd::Find(uint16_t tag) const
{
    const auto it = m_tags.find(tag);
    return it == m_tags.end() ? nullptr : it->second;
}

bool CExifIfd::Insert(CExifTag* tag)
{
    try
    {
        if (!m_tags.emplace(tag->m_wTag, tag).second)
            return false;
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
    const auto it = m_tags.find(tag);
    if (it == m_tags.end())
        return false;
    CExifTag* removed = it->second;
    m_tags.erase(it);
    m_nByteSize -= static_cast<uint32_t>(12 + removed->GetOutOfLineSize());
    removed->Release();
    return true;
}

} // namespace PlExif
