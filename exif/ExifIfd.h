// ExifIfd.h - CExifIfd, one tag directory: its tags ordered by tag number (one reference held on
// each) and the bytes it takes in a written APP1 segment. Used by the thread using its context.
#pragma once

#include "ExifTypes.h"

#include <cstddef>
#include <utility>
#include <vector>

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
    // already filed or the list cannot grow. m_nByteSize is left to the caller.
    bool Insert(CExifTag* tag);
    // Makes room for count tags in all, so that filing them does not reallocate; a failure only
    // leaves the room as it was.
    void Reserve(size_t count) noexcept;
    // Removes the number, adjusting m_nByteSize and releasing the directory's reference;
    // false when the number is not filed.
    bool Remove(uint16_t tag);
    bool IsEmpty() const { return m_tags.empty(); }
    size_t GetCount() const { return m_tags.size(); }

    // (number, tag) in ascending number order, each number once. A directory holds a few dozen
    // tags, mostly filed in order, so a sorted list beats a tree in time and allocations.
    using TagList = std::vector<std::pair<uint16_t, CExifTag*>>;
    TagList m_tags;
    // 6 + 12 x tags + the value sizes above 4.
    uint32_t m_nByteSize;
    CExifContext* m_pContext;
    EExifIfd m_nIfd;
};

} // namespace PlExif
