// ExifIoPending.cpp - placeholders for reading and writing files and buffers until the EXIF
// reader and writer are built in: every operation fails and leaves the context as it was.

#include "ExifContext.h"

namespace PlExif
{

EError CExifContext::ReadApp1FromFile(const PlOSAL::PlWString&)
{
    Clear();
    return eErrFailed;
}

EError CExifContext::ReadApp1FromData(const uint8_t*, uint32_t)
{
    Clear();
    return eErrFailed;
}

EError CExifContext::ProbeFile(const PlOSAL::PlWString&)
{
    return eErrFailed;
}

EError CExifContext::WriteApp1ToFile(const PlOSAL::PlWString&) const
{
    return eErrFailed;
}

EError CExifContext::CopyApp1(IPlExifBuffer*& buffer) const
{
    buffer = nullptr;
    return eErrFailed;
}

EError CExifContext::SetThumbnail(const uint8_t*, uint32_t)
{
    return eErrFailed;
}

} // namespace PlExif
