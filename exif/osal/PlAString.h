// PlAString.h - an 8-bit copy of a wide text in a chosen code page (65002 is the library's own
// plain-ASCII conversion). One object belongs to one thread at a time.
#pragma once

#include "osal/PlString.h"

#include <cstdint>
#include <memory>

namespace PlOSAL
{

// Code page 65002: every UTF-16 unit below 128 stays, every other one becomes '?'.
constexpr uint32_t kCodePageAscii = 65002;

class PlAString
{
public:
    PlAString(const PlWString& text, uint32_t codePage);
    virtual ~PlAString();
    PlAString(const PlAString&) = delete;
    PlAString& operator=(const PlAString&) = delete;

    // The converted text, or an empty text when there is none.
    const char* GetText() const { return m_pszText ? m_pszText.get() : ""; }
    bool HasText() const { return m_pszText != nullptr; }
    uint32_t GetCodePage() const { return m_nCodePage; }

private:
    std::unique_ptr<char[]> m_pszText;
    uint32_t m_nCodePage;
};

} // namespace PlOSAL
