// ExifJpegName.cpp - the extension test of the file operations.

#include "ExifJpegName.h"

#include "osal/PlPath.h"

namespace PlExif
{

bool IsJpegFileName(const PlOSAL::PlWString& path)
{
    const PlOSAL::PlPath split(path);
    PlOSAL::PlWString ext = split.GetExt();
    for (char16_t& c : ext)
    {
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
    }
    return ext == u".jpg" || ext == u".jpeg" || ext == u".jpe" || ext == u".jfif";
}

} // namespace PlExif
