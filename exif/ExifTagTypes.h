// ExifTagTypes.h - the typed tag classes, one per declared TIFF type of the definition table;
// each overrides only the setters its type supports. Same threading rules as CExifTag.
#pragma once

#include "ExifTag.h"

namespace PlExif
{

class CExifTagByte : public CExifTag
{
public:
    using CExifTag::CExifTag;
    EError SetBytes(const unsigned char* values, unsigned long count) override;
};

class CExifTagString : public CExifTag
{
public:
    using CExifTag::CExifTag;
    EError SetString(const wchar_t* text) override;
};

class CExifTagShort : public CExifTag
{
public:
    using CExifTag::CExifTag;
    EError SetShorts(const unsigned short* values, unsigned long count) override;
};

class CExifTagLong : public CExifTag
{
public:
    using CExifTag::CExifTag;
    EError SetLongs(const unsigned long* values, unsigned long count) override;
};

class CExifTagRational : public CExifTag
{
public:
    using CExifTag::CExifTag;
    EError SetRationals(const unsigned long* pairs, unsigned long count) override;
};

class CExifTagUndefined : public CExifTag
{
public:
    using CExifTag::CExifTag;
    // Only the user comment: "UNICODE", NUL and the text as little-endian UTF-16.
    EError SetString(const wchar_t* text) override;
    EError SetUndefined(const unsigned char* bytes, unsigned long size) override;
};

class CExifTagSRational : public CExifTag
{
public:
    using CExifTag::CExifTag;
    EError SetSRationals(const long* pairs, unsigned long count) override;
};

// Makes the tag of the row's class with the given count and value (null value: count 0);
// null when it cannot be allocated. The tag starts with no references.
CExifTag* MakeTag(CExifContext* context, const SExifTagDef& row, uint32_t count, uint8_t* value);

} // namespace PlExif
