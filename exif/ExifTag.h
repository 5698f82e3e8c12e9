// ExifTag.h - CExifTag, one EXIF field (tag number, TIFF type, count, value bytes in the
// context's byte order); the base of the typed tag classes of ExifTagTypes.h. Tags belong to the
// directories of one CExifContext and are used by the thread that uses the context; only the
// reference count is atomic.
#pragma once

#include "ExifByteBlock.h"
#include "ExifTypes.h"
#include "osal/PlPlatform.h"
#include "osal/PlRefCount.h"
#include "osal/PlString.h"

namespace PlExif
{

class CExifContext;
struct SExifTagDef;

using PlOSAL::PlWString;

class CExifTag : public IPlExifTag
{
public:
    // A plain tag of a number the definition table does not know in its directory. A null value
    // forces the count to 0. The tag starts with no references.
    CExifTag(uint32_t type, uint16_t tag, CExifContext* context, EExifIfd ifd, uint32_t count,
             uint8_t* value);
    // A typed tag from its definition row (used by the typed classes).
    CExifTag(CExifContext* context, const SExifTagDef& row, uint32_t count, uint8_t* value);
    ~CExifTag() override;
    CExifTag(const CExifTag&) = delete;
    CExifTag& operator=(const CExifTag&) = delete;

    // IPlExifTag
    unsigned long AddRef() const override;
    unsigned long Release() const override;
    unsigned long GetTagIdCount() const override;
    unsigned long GetType() const override;
    EError GetDisplayName(IPlExifString*& name) const override;
    EError GetValueText(IPlExifString*& text) const override;
    EError GetShort(unsigned short& value) const override;
    EError GetLong(unsigned long& value) const override;
    EError GetSLong(long& value) const override;
    EError GetString(IPlExifString*& text) const override;
    EError GetRational(unsigned long& numerator, unsigned long& denominator) const override;
    EError GetDateTime(SYSTEMTIME& dateTime) const override;
    EError GetUndefined(IPlExifBuffer*& bytes) const override;
    EError SetBytes(const unsigned char* values, unsigned long count) override;
    EError SetString(const wchar_t* text) override;
    EError SetShorts(const unsigned short* values, unsigned long count) override;
    EError SetLongs(const unsigned long* values, unsigned long count) override;
    EError SetRationals(const unsigned long* pairs, unsigned long count) override;
    EError SetUndefined(const unsigned char* bytes, unsigned long size) override;
    EError SetSLongs(const long* values, unsigned long count) override;
    EError SetSRationals(const long* pairs, unsigned long count) override;

    // Accessors of the formatters, not visible to clients.
    virtual EError GetStringText(PlWString& text) const;
    virtual EError GetRationalAt(uint32_t& numerator, uint32_t& denominator, uint32_t index) const;
    virtual EError GetSRational(int32_t& numerator, int32_t& denominator) const;
    virtual EError GetByteAt(uint8_t& value, uint32_t index) const;
    virtual EError GetByte(uint8_t& value) const;

    // Internal helpers (not virtual).
    uint64_t GetValueSize() const { return ValueSize(m_nType, m_nCount); }
    // The part of the value a directory's byte size counts: the value size when above 4.
    uint64_t GetOutOfLineSize() const;
    bool IsBigEndian() const;
    // The same date fields GetDateTime yields, without the type check.
    void ParseDateTime(PlOSAL::SPlDateTime& when) const;
    // The row of (m_nIfd, m_wTag), or null.
    const SExifTagDef* FindOwnRow() const;
    long GetRefCount() const { return m_nRefs.Get(); }

    // The store shared by every setter: bytes hold count elements of type, already in the
    // context's byte order.
    EError Store(uint32_t type, const uint8_t* bytes, uint32_t count);

    uint16_t m_wTag;
    uint32_t m_nType;
    uint32_t m_nFileType;
    uint32_t m_nCount;
    uint8_t* m_pValue;
    EExifIfd m_nIfd;
    CByteBlock m_ownValue;
    CExifContext* m_pContext;
    mutable PlOSAL::CPlRefCount m_nRefs;
};

} // namespace PlExif
