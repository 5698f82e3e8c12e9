// ExifString.cpp - the text and byte objects handed to clients.

#include "ExifString.h"

#include "ExifGuard.h"

#include <utility>

namespace PlExif
{

CExifString* CExifString::Create(const PlOSAL::PlWString& text) noexcept
{
    try
    {
        CExifString* s = new (std::nothrow) CExifString();
        if (s != nullptr)
            s->m_text = text;
        return s;
    }
    catch (...)
    {
        return nullptr;
    }
}

EError CExifString::HandOut(const PlOSAL::PlWString& text, IPlExifString*& out) noexcept
{
    CExifString* s = Create(text);
    if (s == nullptr)
    {
        out = nullptr;
        return eErrOutOfMemory;
    }
    s->AddRef();
    out = s;
    return eOk;
}

EError CExifString::HandOut(PlOSAL::PlWString&& text, IPlExifString*& out) noexcept
{
    CExifString* s = new (std::nothrow) CExifString();
    if (s == nullptr)
    {
        out = nullptr;
        return eErrOutOfMemory;
    }
    s->m_text = std::move(text);
    s->AddRef();
    out = s;
    return eOk;
}

unsigned long CExifString::AddRef()
{
    return static_cast<unsigned long>(m_nRefs.Increment());
}

unsigned long CExifString::Release()
{
    const long n = m_nRefs.Decrement();
    if (n == 0)
        delete this;
    return static_cast<unsigned long>(n);
}

EError CExifString::GetString(wchar_t* buffer, long count)
{
    if (buffer == nullptr || count <= 0)
        return eOk;
    const size_t room = static_cast<size_t>(count);
    for (size_t i = 0; i < room; ++i)
        buffer[i] = i < m_text.size() ? static_cast<wchar_t>(m_text[i]) : L'\0';
    return eOk;
}

long CExifString::GetLength()
{
    return static_cast<long>(m_text.size());
}

CExifBuffer* CExifBuffer::Create(const uint8_t* bytes, size_t size) noexcept
{
    if (size > UINT32_MAX || (bytes == nullptr && size != 0))
        return nullptr;
    CExifBuffer* b = new (std::nothrow) CExifBuffer();
    if (b == nullptr)
        return nullptr;
    if (!b->m_pData.Assign(bytes, size))
    {
        delete b;
        return nullptr;
    }
    b->m_nSize = static_cast<uint32_t>(size);
    return b;
}

EError CExifBuffer::HandOut(const uint8_t* bytes, size_t size, IPlExifBuffer*& out) noexcept
{
    CExifBuffer* b = Create(bytes, size);
    if (b == nullptr)
    {
        out = nullptr;
        return eErrOutOfMemory;
    }
    b->AddRef();
    out = b;
    return eOk;
}

unsigned long CExifBuffer::AddRef()
{
    return static_cast<unsigned long>(m_nRefs.Increment());
}

unsigned long CExifBuffer::Release()
{
    const long n = m_nRefs.Decrement();
    if (n == 0)
        delete this;
    return static_cast<unsigned long>(n);
}

const unsigned char* CExifBuffer::GetData()
{
    return m_pData.Data();
}

unsigned long CExifBuffer::GetSize()
{
    return m_nSize;
}

} // namespace PlExif
