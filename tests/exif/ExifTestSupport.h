// ExifTestSupport.h - small builders for the EXIF unit tests: a context whose tags point into its
// own APP1 copy, as a read leaves them, and helpers to read texts back. Test thread only.
#pragma once

#include "ExifContext.h"
#include "ExifTag.h"
#include "ExifTagDef.h"
#include "ExifTagTypes.h"
#include "ExifText.h"

#include <memory>
#include <string>
#include <vector>

namespace PlExifTest
{

using namespace PlExif;

struct SContextDeleter
{
    void operator()(CExifContext* c) const
    {
        if (c != nullptr)
            c->Release();
    }
};
using ContextPtr = std::unique_ptr<CExifContext, SContextDeleter>;

// A new empty context holding one reference.
inline ContextPtr NewContext(bool bigEndian = false, size_t app1Size = 512)
{
    CExifContext* c = CExifContext::Create();
    c->AddRef();
    c->m_bBigEndian = bigEndian ? 1 : 0;
    if (app1Size != 0)
        c->m_app1.Allocate(app1Size);
    return ContextPtr(c);
}

// Places bytes at offset of the APP1 copy and files a tag of id there, with the file's type, as
// the reader would; the directory is created with GetIfd.
inline CExifTag* AddFileTag(CExifContext& c, EExifTagId id, uint32_t fileType, uint32_t count,
                            size_t offset, const std::vector<uint8_t>& bytes)
{
    const SExifTagDef& row = *GetRow(id);
    std::copy(bytes.begin(), bytes.end(), c.m_app1.Data() + offset);
    CExifTag* tag = MakeTag(&c, row, count, c.m_app1.Data() + offset);
    tag->m_nFileType = fileType;
    CExifIfd* ifd = c.GetIfd(static_cast<EExifIfd>(row.ifd));
    ifd->Insert(tag);
    ifd->m_nByteSize += static_cast<uint32_t>(12 + tag->GetOutOfLineSize());
    return tag;
}

// The tag of id, created without a value when missing (no reference for the caller).
inline CExifTag* Tag(CExifContext& c, EExifTagId id)
{
    const SExifTagDef& row = *GetRow(id);
    CExifTag* tag = nullptr;
    c.GetOrCreateTag(row, *c.GetIfd(static_cast<EExifIfd>(row.ifd)), tag);
    return tag;
}

inline std::string Utf8(const PlOSAL::PlWString& text)
{
    return PlOSAL::ToUtf8(text);
}

inline std::vector<uint8_t> Bytes(const CExifTag& tag)
{
    return std::vector<uint8_t>(tag.m_pValue, tag.m_pValue + tag.GetValueSize());
}

// The value text of a tag through its row's formatter, as UTF-8.
inline std::string ValueText(const CExifTag& tag, EError* result = nullptr)
{
    PlOSAL::PlWString text;
    const EError r = tag.FindOwnRow()->formatter(tag, text);
    if (result != nullptr)
        *result = r;
    return Utf8(text);
}

// Sets the display language for the lifetime of the object.
class CLanguageScope
{
public:
    explicit CLanguageScope(uint16_t language) : m_nOld(GetCurrentLanguage())
    {
        SetCurrentLanguage(language);
    }
    ~CLanguageScope() { SetCurrentLanguage(m_nOld); }

private:
    uint16_t m_nOld;
};

} // namespace PlExifTest
