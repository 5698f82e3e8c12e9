// ExifString.h - CExifString, the text object behind IPlExifString, and CExifBuffer, the byte
// object behind IPlExifBuffer. Independent copies that outlive their context; the reference
// count is atomic, so they may be released from any thread.
#pragma once

#include "ExifByteBlock.h"
#include "ExifTypes.h"
#include "osal/PlRefCount.h"
#include "osal/PlString.h"

namespace PlExif
{

class CExifString final : public IPlExifString
{
public:
    // A new string with no references; null when it cannot be allocated.
    static CExifString* Create(const PlOSAL::PlWString& text) noexcept;
    // Hands text out through an out-parameter with the caller's reference.
    static EError HandOut(const PlOSAL::PlWString& text, IPlExifString*& out) noexcept;
    // The same, taking over the text's storage instead of copying it.
    static EError HandOut(PlOSAL::PlWString&& text, IPlExifString*& out) noexcept;

    unsigned long AddRef() override;
    unsigned long Release() override;
    EError GetString(wchar_t* buffer, long count) override;
    long GetLength() override;

    const PlOSAL::PlWString& Text() const { return m_text; }

private:
    CExifString() = default;
    ~CExifString() = default;

    PlOSAL::PlWString m_text;
    PlOSAL::CPlRefCount m_nRefs;
};

class CExifBuffer final : public IPlExifBuffer
{
public:
    // A new buffer holding a copy of size bytes, no references; null when it cannot be made.
    static CExifBuffer* Create(const uint8_t* bytes, size_t size) noexcept;
    // Hands a copy out with the caller's reference; eErrOutOfMemory with out null on failure.
    static EError HandOut(const uint8_t* bytes, size_t size, IPlExifBuffer*& out) noexcept;

    unsigned long AddRef() override;
    unsigned long Release() override;
    const unsigned char* GetData() override;
    unsigned long GetSize() override;

private:
    CExifBuffer() = default;
    ~CExifBuffer() override = default;

    uint32_t m_nSize = 0;
    CByteBlock m_pData;
    PlOSAL::CPlRefCount m_nRefs;
};

} // namespace PlExif
