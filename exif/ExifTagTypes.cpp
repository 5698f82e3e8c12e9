// ExifTagTypes.cpp - the setters of the typed tag classes and the maker behind the table.

#include "ExifTagTypes.h"

#include "ExifGuard.h"
#include "ExifTagDef.h"

#include <climits>
#include <vector>

namespace PlExif
{

namespace
{

// The setters' common path: type check, argument checks, conversion of each value into the
// context's byte order by put (false: the value does not fit its field), then the store.
// valuesPerElement is 2 for rationals (numerator, denominator).
template <class T, class Put>
EError StoreArray(CExifTag& tag, uint32_t type, const T* values, unsigned long count,
                  uint32_t valuesPerElement, Put put)
{
    return Guarded(
        [&]
        {
            if (tag.m_nType != type)
                return eErrWrongType;
            if (values == nullptr && count != 0)
                return eErrFailed;
            const uint32_t elementSize = ElementSize(type);
            // No value within the 64 KiB budget has more elements; refused before anything is made.
            if (uint64_t(count) * elementSize > kApp1Budget)
                return eErrTooLarge;
            const uint32_t fieldSize = elementSize / valuesPerElement;
            std::vector<uint8_t> bytes(count * elementSize);
            for (unsigned long i = 0; i < count * valuesPerElement; ++i)
            {
                if (!put(&bytes[i * fieldSize], values[i]))
                    return eErrFailed;
            }
            return tag.Store(type, bytes.data(), static_cast<uint32_t>(count));
        });
}

bool PutByte(uint8_t* p, unsigned char v)
{
    *p = v;
    return true;
}

} // namespace

EError CExifTagByte::SetBytes(const unsigned char* values, unsigned long count)
{
    return StoreArray(*this, eTypeByte, values, count, 1, PutByte);
}

EError CExifTagString::SetString(const wchar_t* text)
{
    return Guarded(
        [&]
        {
            if (m_nType != eTypeAscii)
                return eErrWrongType;
            const PlOSAL::PlWString wide = PlOSAL::FromWide(text);
            if (wide.size() + 1 > kApp1Budget)
                return eErrTooLarge;
            std::vector<uint8_t> bytes;
            bytes.reserve(wide.size() + 1);
            for (char16_t unit : wide)
                bytes.push_back(unit < 128 ? static_cast<uint8_t>(unit) : uint8_t('?'));
            bytes.push_back(0);
            return Store(eTypeAscii, bytes.data(), static_cast<uint32_t>(bytes.size()));
        });
}

EError CExifTagShort::SetShorts(const unsigned short* values, unsigned long count)
{
    const bool be = IsBigEndian();
    return StoreArray(*this, eTypeShort, values, count, 1,
                      [be](uint8_t* p, unsigned short v)
                      {
                          WriteU16(p, v, be);
                          return true;
                      });
}

EError CExifTagLong::SetLongs(const unsigned long* values, unsigned long count)
{
    const bool be = IsBigEndian();
    return StoreArray(*this, eTypeLong, values, count, 1,
                      [be](uint8_t* p, unsigned long v)
                      {
                          if (v > UINT32_MAX)
                              return false;
                          WriteU32(p, static_cast<uint32_t>(v), be);
                          return true;
                      });
}

EError CExifTagRational::SetRationals(const unsigned long* pairs, unsigned long count)
{
    const bool be = IsBigEndian();
    return StoreArray(*this, eTypeRational, pairs, count, 2,
                      [be](uint8_t* p, unsigned long v)
                      {
                          if (v > UINT32_MAX)
                              return false;
                          WriteU32(p, static_cast<uint32_t>(v), be);
                          return true;
                      });
}

EError CExifTagSRational::SetSRationals(const long* pairs, unsigned long count)
{
    const bool be = IsBigEndian();
    return StoreArray(*this, eTypeSRational, pairs, count, 2,
                      [be](uint8_t* p, long v)
                      {
                          if (v < INT32_MIN || v > INT32_MAX)
                              return false;
                          WriteU32(p, static_cast<uint32_t>(static_cast<int32_t>(v)), be);
                          return true;
                      });
}

EError CExifTagUndefined::SetUndefined(const unsigned char* bytes, unsigned long size)
{
    return StoreArray(*this, eTypeUndefined, bytes, size, 1, PutByte);
}

EError CExifTagUndefined::SetString(const wchar_t* text)
{
    return Guarded(
        [&]
        {
            if (text == nullptr)
                return eErrFailed;
            if (m_nType != eTypeUndefined || m_wTag != kTagUserComment)
                return eErrWrongType;
            const PlOSAL::PlWString wide = PlOSAL::FromWide(text);
            if (wide.size() * 2 + 10 > kApp1Budget)
                return eErrTooLarge;
            // Character code "UNICODE" and NUL, then UTF-16 little-endian and a two-byte
            // terminator.
            std::vector<uint8_t> bytes = {'U', 'N', 'I', 'C', 'O', 'D', 'E', 0};
            for (char16_t unit : wide)
            {
                bytes.push_back(static_cast<uint8_t>(unit));
                bytes.push_back(static_cast<uint8_t>(unit >> 8));
            }
            bytes.push_back(0);
            bytes.push_back(0);
            return Store(eTypeUndefined, bytes.data(), static_cast<uint32_t>(bytes.size()));
        });
}

CExifTag* MakeTag(CExifContext* context, const SExifTagDef& row, uint32_t count, uint8_t* value)
{
    switch (row.type)
    {
    case eTypeByte:
        return new (std::nothrow) CExifTagByte(context, row, count, value);
    case eTypeAscii:
        return new (std::nothrow) CExifTagString(context, row, count, value);
    case eTypeShort:
        return new (std::nothrow) CExifTagShort(context, row, count, value);
    case eTypeLong:
        return new (std::nothrow) CExifTagLong(context, row, count, value);
    case eTypeRational:
        return new (std::nothrow) CExifTagRational(context, row, count, value);
    case eTypeUndefined:
        return new (std::nothrow) CExifTagUndefined(context, row, count, value);
    case eTypeSRational:
        return new (std::nothrow) CExifTagSRational(context, row, count, value);
    default:
        return new (std::nothrow) CExifTag(context, row, count, value);
    }
}

} // namespace PlExif
