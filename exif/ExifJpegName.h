// ExifJpegName.h - whether a path names a JPEG file by its extension (.jpg, .jpeg, .jpe, .jfif,
// compared ignoring case). Pure function: callable from any thread.
#pragma once

#include "osal/PlString.h"

namespace PlExif
{

bool IsJpegFileName(const PlOSAL::PlWString& path);

} // namespace PlExif
