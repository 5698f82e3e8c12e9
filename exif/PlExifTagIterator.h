// PlExifTagIterator.h - CPlExifTagIterator, the tag iterator handed out by
// PlExifContext::GetTagIterator. It holds a reference on its context for its whole life; it is
// used by the thread that uses the context, and may be released from any thread.
#pragma once

#include "ExifTypes.h"
#include "osal/PlRefCount.h"

namespace PlExif
{

class CExifContext;
class CExifTag;

class CPlExifTagIterator final : public IPlExifTagIterator
{
public:
    // A new iterator before the first tag (no references; takes one on context), or null.
    static CPlExifTagIterator* Create(CExifContext* context) noexcept;

    unsigned long AddRef() override;
    unsigned long Release() override;
    EError Reset() override;
    EError Next(const IPlExifTag*& tag) override;
    EError Next(IPlExifTag*& tag) override;

private:
    explicit CPlExifTagIterator(CExifContext* context);
    ~CPlExifTagIterator() override;
    CExifTag* Advance();

    // The tag returned last; its directory and number are kept beside it, so that the walk
    // goes on by position and never needs to read the tag itself again.
    CExifTag* m_pCurrent = nullptr;
    EExifIfd m_nCurrentIfd = eIfd0;
    uint16_t m_wCurrentTag = 0;
    PlOSAL::CPlRefCount m_nRefs;
    CExifContext* m_pContext;
};

} // namespace PlExif
