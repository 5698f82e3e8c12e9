// ExifTag.cpp - reading and storing tag values in the context's byte order.

#include "ExifTag.h"

#include "ExifContext.h"
#include "ExifGuard.h"
#include "ExifString.h"
#include "ExifTagDef.h"
#include "ExifText.h"

#include <climits>
#include <cstring>
#include <utility>

namespace PlExif
{

namespace
{

// atoi over a field copied into a zero-filled buffer: white space, sign, digits.
int FieldToInt(const char* field)
{
    const char* p = field;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    int value = 0;
    while (*p >= '0' && *p <= '9')
        value = value * 10 + (*p++ - '0');
    return negative ? -value : value;
}

} // namespace

CExifTag::CExifTag(uint32_t type, uint16_t tag, CExifContext* context, EExifIfd ifd, uint32_t count,
                   uint8_t* value)
    : m_wTag(tag), m_nType(type), m_nFileType(type), m_nCount(value ? count : 0), m_pValue(value),
      m_nIfd(ifd), m_pContext(context)
{
}

CExifTag::CExifTag(CExifContext* context, const SExifTagDef& row, uint32_t count, uint8_t* value)
    : CExifTag(row.type, static_cast<uint16_t>(row.tag), context, static_cast<EExifIfd>(row.ifd),
               count, value)
{
}

CExifTag::~CExifTag() = default;

unsigned long CExifTag::AddRef() const
{
    return static_cast<unsigned long>(m_nRefs.Increment());
}

unsigned long CExifTag::Release() const
{
    const long n = m_nRefs.Decrement();
    if (n == 0)
        delete this;
    return static_cast<unsigned long>(n);
}

unsigned long CExifTag::GetTagIdCount() const
{
    return kTagIdCount;
}

unsigned long CExifTag::GetType() const
{
    return m_nType;
}

bool CExifTag::IsBigEndian() const
{
    return m_pContext != nullptr && m_pContext->IsBigEndian();
}

uint64_t CExifTag::GetOutOfLineSize() const
{
    const uint64_t size = GetValueSize();
    return size > 4 ? size : 0;
}

const SExifTagDef* CExifTag::FindOwnRow() const
{
    return FindRow(m_nIfd, m_wTag);
}

EError CExifTag::GetDisplayName(IPlExifString*& name) const
{
    return Guarded(
        [&]
        {
            const SExifTagDef* row = FindOwnRow();
            if (row == nullptr)
                return eErrFailed;
            return CExifString::HandOut(LoadTextOrEmpty(row->nameId), name);
        });
}

EError CExifTag::GetValueText(IPlExifString*& text) const
{
    return Guarded(
        [&]
        {
            const SExifTagDef* row = FindOwnRow();
            if (row == nullptr)
                return eErrFailed;
            PlWString value;
            const EError result = row->formatter(*this, value);
            if (result != eOk)
                return result;
            return CExifString::HandOut(std::move(value), text);
        });
}

// A value is present when there is a pointer and at least one element; every reading operation
// then reads only within the value size of the declared type.
#define PL_REQUIRE_VALUE()                                                                         \
    if (m_pValue == nullptr || m_nCount == 0)                                                      \
    return eErrNoValue

EError CExifTag::GetShort(unsigned short& value) const
{
    PL_REQUIRE_VALUE();
    if (m_nType != eTypeShort)
        return eErrWrongType;
    value = ReadU16(m_pValue, IsBigEndian());
    return eOk;
}

EError CExifTag::GetLong(unsigned long& value) const
{
    PL_REQUIRE_VALUE();
    if (m_nType == eTypeLong && m_nFileType == eTypeLong)
        value = ReadU32(m_pValue, IsBigEndian());
    else if ((m_nType == eTypeLong && m_nFileType == eTypeShort) || m_nType == eTypeShort)
        value = ReadU16(m_pValue, IsBigEndian());
    else
        return eErrWrongType;
    return eOk;
}

EError CExifTag::GetSLong(long& value) const
{
    PL_REQUIRE_VALUE();
    if (m_nType != eTypeSLong)
        return eErrWrongType;
    value = static_cast<int32_t>(ReadU32(m_pValue, IsBigEndian()));
    return eOk;
}

EError CExifTag::GetStringText(PlWString& text) const
{
    PL_REQUIRE_VALUE();
    if (m_nType != eTypeAscii)
        return eErrWrongType;
    const SExifTagDef* row = FindOwnRow();
    if (row == nullptr)
        return eErrFailed;
    return row->formatter(*this, text);
}

EError CExifTag::GetString(IPlExifString*& text) const
{
    return Guarded(
        [&]
        {
            PlWString value;
            const EError result = GetStringText(value);
            if (result != eOk)
                return result;
            return CExifString::HandOut(std::move(value), text);
        });
}

EError CExifTag::GetRational(unsigned long& numerator, unsigned long& denominator) const
{
    PL_REQUIRE_VALUE();
    if (m_nType != eTypeRational)
        return eErrWrongType;
    numerator = ReadU32(m_pValue, IsBigEndian());
    denominator = ReadU32(m_pValue + 4, IsBigEndian());
    return eOk;
}

EError CExifTag::GetRationalAt(uint32_t& numerator, uint32_t& denominator, uint32_t index) const
{
    PL_REQUIRE_VALUE();
    if (index >= m_nCount)
        return eErrFailed;
    if (m_nType != eTypeRational)
        return eErrWrongType;
    const uint8_t* p = m_pValue + uint64_t(index) * 8;
    numerator = ReadU32(p, IsBigEndian());
    denominator = ReadU32(p + 4, IsBigEndian());
    return eOk;
}

EError CExifTag::GetSRational(int32_t& numerator, int32_t& denominator) const
{
    PL_REQUIRE_VALUE();
    if (m_nType != eTypeSRational)
        return eErrWrongType;
    numerator = static_cast<int32_t>(ReadU32(m_pValue, IsBigEndian()));
    denominator = static_cast<int32_t>(ReadU32(m_pValue + 4, IsBigEndian()));
    return eOk;
}

EError CExifTag::GetByteAt(uint8_t& value, uint32_t index) const
{
    PL_REQUIRE_VALUE();
    if (index >= GetValueSize())
        return eErrFailed;
    if (m_nType != eTypeByte)
        return eErrWrongType;
    value = m_pValue[index];
    return eOk;
}

EError CExifTag::GetByte(uint8_t& value) const
{
    PL_REQUIRE_VALUE();
    if (m_nType != eTypeByte)
        return eErrWrongType;
    value = m_pValue[0];
    return eOk;
}

void CExifTag::ParseDateTime(PlOSAL::SPlDateTime& when) const
{
    // YYYY:MM:DD HH:MM:SS; a field beyond the end of the value reads as 0.
    struct SField
    {
        uint32_t offset;
        uint32_t length;
        uint16_t PlOSAL::SPlDateTime::*member;
    };
    static const SField kFields[] = {
        {0, 4, &PlOSAL::SPlDateTime::wYear},    {5, 2, &PlOSAL::SPlDateTime::wMonth},
        {8, 2, &PlOSAL::SPlDateTime::wDay},     {11, 2, &PlOSAL::SPlDateTime::wHour},
        {14, 2, &PlOSAL::SPlDateTime::wMinute}, {17, 2, &PlOSAL::SPlDateTime::wSecond}};
    when = PlOSAL::SPlDateTime();
    const uint64_t size = m_pValue ? GetValueSize() : 0;
    for (const SField& f : kFields)
    {
        char buffer[5] = {};
        for (uint32_t i = 0; i < f.length && f.offset + i < size; ++i)
            buffer[i] = static_cast<char>(m_pValue[f.offset + i]);
        when.*f.member = static_cast<uint16_t>(FieldToInt(buffer));
    }
}

EError CExifTag::GetDateTime(SYSTEMTIME& dateTime) const
{
    PL_REQUIRE_VALUE();
    if (m_nType != eTypeAscii || (m_wTag != kTagDateTime && m_wTag != kTagDateTimeOriginal))
        return eErrWrongType;
    PlOSAL::SPlDateTime when;
    ParseDateTime(when);
    dateTime.wYear = when.wYear;
    dateTime.wMonth = when.wMonth;
    dateTime.wDayOfWeek = 0;
    dateTime.wDay = when.wDay;
    dateTime.wHour = when.wHour;
    dateTime.wMinute = when.wMinute;
    dateTime.wSecond = when.wSecond;
    dateTime.wMilliseconds = 0;
    return eOk;
}

EError CExifTag::GetUndefined(IPlExifBuffer*& bytes) const
{
    if (m_pValue == nullptr)
        return eErrNoValue;
    if (m_nType != eTypeUndefined)
        return eErrWrongType;
    if (GetValueSize() == 0)
        return eErrNoValue;
    return CExifBuffer::HandOut(m_pValue, static_cast<size_t>(GetValueSize()), bytes);
}

#undef PL_REQUIRE_VALUE

EError CExifTag::SetBytes(const unsigned char*, unsigned long)
{
    return eErrWrongType;
}
EError CExifTag::SetString(const wchar_t*)
{
    return eErrWrongType;
}
EError CExifTag::SetShorts(const unsigned short*, unsigned long)
{
    return eErrWrongType;
}
EError CExifTag::SetLongs(const unsigned long*, unsigned long)
{
    return eErrWrongType;
}
EError CExifTag::SetRationals(const unsigned long*, unsigned long)
{
    return eErrWrongType;
}
EError CExifTag::SetUndefined(const unsigned char*, unsigned long)
{
    return eErrWrongType;
}
EError CExifTag::SetSLongs(const long*, unsigned long)
{
    return eErrWrongType;
}
EError CExifTag::SetSRationals(const long*, unsigned long)
{
    return eErrWrongType;
}

EError CExifTag::Store(uint32_t type, const uint8_t* bytes, uint32_t count)
{
    if (m_nType != type)
        return eErrWrongType;
    const uint64_t n = ValueSize(type, count);
    const uint64_t c = m_pValue ? GetValueSize() : 0;
    const uint64_t outOfLineBefore = c > 4 ? c : 0;
    const uint32_t room = m_pContext ? m_pContext->GetBudgetRoom() : kApp1Budget;
    if (n > c || m_pValue == nullptr)
    {
        if (room < (n > c ? n - c : 0))
            return eErrTooLarge;
        CByteBlock block;
        if (!block.Allocate(static_cast<size_t>(n)))
            return eErrOutOfMemory;
        if (n != 0)
            std::memcpy(block.Data(), bytes, static_cast<size_t>(n));
        m_ownValue = std::move(block);
        m_pValue = m_ownValue.Data();
    }
    else if (n != 0)
    {
        // In place, into the context's APP1 copy when the value lies there.
        std::memmove(m_pValue, bytes, static_cast<size_t>(n));
    }
    m_nCount = count;
    // The value now has the declared type, whatever type the file had used.
    m_nFileType = m_nType;
    const uint64_t outOfLineAfter = n > 4 ? n : 0;
    CExifIfd* ifd = m_pContext ? m_pContext->Ifd(m_nIfd) : nullptr;
    if (ifd != nullptr && ifd->Find(m_wTag) == this)
        ifd->m_nByteSize =
            static_cast<uint32_t>(ifd->m_nByteSize + outOfLineAfter - outOfLineBefore);
    return eOk;
}

} // namespace PlExif
