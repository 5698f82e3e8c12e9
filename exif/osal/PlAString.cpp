// PlAString.cpp - conversion of a wide text into an 8-bit code page.

#include "osal/PlAString.h"

#include "osal/PlPlatform.h"

#include <cstring>
#include <new>

namespace PlOSAL
{

PlAString::PlAString(const PlWString& text, uint32_t codePage) : m_nCodePage(codePage)
{
    if (text.empty())
        return;
    std::string bytes;
    if (codePage == kCodePageAscii)
    {
        bytes.reserve(text.size());
        for (char16_t unit : text)
            bytes.push_back(unit < 128 ? static_cast<char>(unit) : '?');
    }
    else if (!WideToCodePage(text, codePage, bytes))
    {
        return;
    }
    m_pszText.reset(new (std::nothrow) char[bytes.size() + 1]);
    if (m_pszText)
        std::memcpy(m_pszText.get(), bytes.c_str(), bytes.size() + 1);
}

PlAString::~PlAString() = default;

} // namespace PlOSAL
