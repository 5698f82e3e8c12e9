// ExifIfd.h - CExifIfd, one tag directory: its tags ordered by tag number (one reference held on
// each) and the bytes it takes in a written APP1 segment. Used by the thread using its context.
#pragma once

#include "ExifTypes.h"

#include <map>

namespace PlExif
{

class CExifContext;
class CExifTag;

class CExifIfd
{
public:
    CExifIfd(CExifContext* context, EExifIfd ifd);
    // Releases every tag.
    ~CExifIfd();
    CExifIfd(const CExifIfd&) = delete;
    CExifIfd& operator=(const CExifIfd&) = delete;

    CExifTag* Find(uint16_t tag) const;
    // Files tag under its number and takes a reference; false (nothing taken) when the number is
    // already filed or the map cannot grow. m_nByteSize is left to the caller.
    bool Insert(CExifTag* tag);
    // Removes the number, adjusting m_nByteSize and releasing the directory's reference;
    // false when the number is not filed.
    bool Remove(uint16_t tag);
    bool IsEmpty() const { return m_tags.empty(); }
    size_t GetCount() const { return m_tags.size(); }

    std::map<uint16_t, CExifTag*> m_tags;
    // 6 + 12 x tags + the value sizes above 4.
    uint32_t m_nByteSize;
    CExifContext* m_pContext;
    EExifIfd m_nIfd;
};

} // namespace PlExif
