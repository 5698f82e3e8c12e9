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

// A count no value within the 64 KiB budget can have; refused before anything is prepared.
bool CountTooLarge(unsigned long count, uint32_t elementSize)
{
    return uint64_t(count) * elementSize > kApp1Budget;
}

// Arrays are checked before the store: a null array with elements is refused, and so are
// values that do not fit 32 bits (possible where long is 64 bits wide).
template <class T> bool ArrayUsable(const T* values, unsigned long count)
{
    return values != nullptr || count == 0;
}

} // namespace

EError CExifTagByte::SetBytes(const unsigned char* values, unsigned long count)
{
    return Guarded(
        [&]
        {
            if (m_nType != eTypeByte)
                return eErrWrongType;
            if (!ArrayUsable(values, count))
                return eErrFailed;
            if (CountTooLarge(count, 1))
                return eErrTooLarge;
            return Store(eTypeByte, values, static_cast<uint32_t>(count));
        });
}

EError CExifTagString::SetString(const wchar_t* text)
{
    return Guarded(
        [&]
        {
            if (m_nType != eTypeAscii)
                return eErrWrongType;
            const PlOSAL::PlWString wide = PlOSAL::FromWide(text);
            if (CountTooLarge(wide.size() + 1, 1))
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
    return Guarded(
        [&]
        {
            if (m_nType != eTypeShort)
                return eErrWrongType;
            if (!ArrayUsable(values, count))
                return eErrFailed;
            if (CountTooLarge(count, 2))
                return eErrTooLarge;
            std::vector<uint8_t> bytes(count * 2);
            for (unsigned long i = 0; i < count; ++i)
                WriteU16(&bytes[i * 2], values[i], IsBigEndian());
            return Store(eTypeShort, bytes.data(), static_cast<uint32_t>(count));
        });
}

EError CExifTagLong::SetLongs(const unsigned long* values, unsigned long count)
{
    return Guarded(
        [&]
        {
            if (m_nType != eTypeLong)
                return eErrWrongType;
            if (!ArrayUsable(values, count))
                return eErrFailed;
            if (CountTooLarge(count, 4))
                return eErrTooLarge;
            std::vector<uint8_t> bytes(count * 4);
            for (unsigned long i = 0; i < count; ++i)
            {
                if (values[i] > UINT32_MAX)
                    return eErrFailed;
                WriteU32(&bytes[i * 4], static_cast<uint32_t>(values[i]), IsBigEndian());
            }
            return Store(eTypeLong, bytes.data(), static_cast<uint32_t>(count));
        });
}

EError CExifTagRational::SetRationals(const unsigned long* pairs, unsigned long count)
{
    return Guarded(
        [&]
        {
            if (m_nType != eTypeRational)
                return eErrWrongType;
            if (!ArrayUsable(pairs, count))
                return eErrFailed;
            if (CountTooLarge(count, 8))
                return eErrTooLarge;
            std::vector<uint8_t> bytes(count * 8);
            for (unsigned long i = 0; i < count * 2; ++i)
            {
                if (pairs[i] > UINT32_MAX)
                    return eErrFailed;
                WriteU32(&bytes[i * 4], static_cast<uint32_t>(pairs[i]), IsBigEndian());
            }
            return Store(eTypeRational, bytes.data(), static_cast<uint32_t>(count));
        });
}

EError CExifTagSRational::SetSRationals(const long* pairs, unsigned long count)
{
    return Guarded(
        [&]
        {
            if (m_nType != eTypeSRational)
                return eErrWrongType;
            if (!ArrayUsable(pairs, count))
                return eErrFailed;
            if (CountTooLarge(count, 8))
                return eErrTooLarge;
            std::vector<uint8_t> bytes(count * 8);
            for (unsigned long i = 0; i < count * 2; ++i)
            {
                if (pairs[i] < INT32_MIN || pairs[i] > INT32_MAX)
                    return eErrFailed;
                WriteU32(&bytes[i * 4], static_cast<uint32_t>(static_cast<int32_t>(pairs[i])),
                         IsBigEndian());
            }
            return Store(eTypeSRational, bytes.data(), static_cast<uint32_t>(count));
        });
}

EError CExifTagUndefined::SetUndefined(const unsigned char* bytes, unsigned long size)
{
    return Guarded(
        [&]
        {
            if (m_nType != eTypeUndefined)
                return eErrWrongType;
            if (!ArrayUsable(bytes, size))
                return eErrFailed;
            if (CountTooLarge(size, 1))
                return eErrTooLarge;
            return Store(eTypeUndefined, bytes, static_cast<uint32_t>(size));
        });
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
            if (CountTooLarge(wide.size() * 2 + 10, 1))
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
