// ExifContext.h - CExifContext, the state behind a PlExifContext handle: the APP1 copy of the
// last read, the byte order, the five directories and the thumbnail, with creation and removal
// of tags, the 64 KiB budget, clearing and deep copy. One thread at a time; only the reference
// count is atomic. The reader and writer (exif/io) fill and read the public fields directly.
#pragma once

#include "ExifByteBlock.h"
#include "ExifIfd.h"
#include "ExifTypes.h"
#include "osal/PlRefCount.h"
#include "osal/PlString.h"

namespace PlExif
{

class CExifTag;
struct SExifTagDef;

class CExifContext
{
public:
    // An empty context: no APP1 bytes, little-endian, no directories, no thumbnail, no
    // references. Create answers null when it cannot be allocated.
    static CExifContext* Create() noexcept;
    // A new independent deep copy of other (no references), or null when it cannot be made.
    static CExifContext* Copy(const CExifContext& other) noexcept;

    virtual unsigned long AddRef();
    // Clears and destroys the context when the count reaches 0.
    virtual unsigned long Release();

    // The directory, created when missing together with its pointer tag and IFD0; null when it
    // cannot be allocated.
    CExifIfd* GetIfd(EExifIfd ifd);
    // The directory if it exists, else null.
    CExifIfd* Ifd(EExifIfd ifd) const { return ifd < kIfdCount ? m_ifd[ifd] : nullptr; }
    CExifTag* FindTag(EExifIfd ifd, uint16_t tag) const;
    // The tag of the row's number in the directory, created without a value when missing; no
    // reference is added for the caller. eErrFailed when the tag cannot be made.
    EError GetOrCreateTag(const SExifTagDef& row, CExifIfd& ifd, CExifTag*& tag);
    // Removes the tag of id and the directories that became empty: eOk when its directory does
    // not exist, else eTagRemoved; eErrFailed for an id above 85. No read-only check here.
    EError RemoveTag(uint32_t id);

    // 16 + the thumbnail length + the byte sizes of all directories.
    uint32_t EstimateApp1Size() const;
    // Bytes a value or the thumbnail may still grow by: 65536 - estimate, or 0.
    uint32_t GetBudgetRoom() const;
    // The thumbnail length tag's value, or false when IFD1 or that tag is missing or unreadable.
    bool GetThumbnailLength(uint32_t& length) const;

    long GetNumTags() const;
    bool IsBigEndian() const { return m_bBigEndian != 0; }

    void Clear();
    void DropThumbnail();

    // Reading and writing (exif/io).
    EError ReadApp1FromFile(const PlOSAL::PlWString& path);
    EError ReadApp1FromData(const uint8_t* data, uint32_t size);
    static EError ProbeFile(const PlOSAL::PlWString& path);
    EError WriteApp1ToFile(const PlOSAL::PlWString& path) const;
    EError CopyApp1(IPlExifBuffer*& buffer) const;
    EError SetThumbnail(const uint8_t* data, uint32_t size);

    CByteBlock m_app1;
    uint8_t m_bBigEndian = 0;
    CExifIfd* m_ifd[kIfdCount] = {};
    const uint8_t* m_pThumbnail = nullptr;
    CByteBlock m_ownThumbnail;
    PlOSAL::CPlRefCount m_nRefs;

protected:
    CExifContext() = default;
    virtual ~CExifContext();

private:
    CExifContext(const CExifContext&) = delete;
    CExifContext& operator=(const CExifContext&) = delete;
    void DestroyIfd(EExifIfd ifd);
};

} // namespace PlExif
