// ReportZipError: shows the message for an archive failure with the error icon (nothing in a
// quiet run), naming the file or folder concerned. User-interface thread only.
#pragma once

#include "plcore/ZipException.h"

#include <windows.h>

#include <string>

namespace stub
{

// `path` may be empty; `dialog` (may be null) is brought to the foreground first unless the run
// is quiet.
void ReportZipError(const plcore::ZipException& e, const std::wstring& path, HWND dialog);

// The text shown, in the current language.
std::wstring ZipErrorMessage(const plcore::ZipException& e, const std::wstring& path);

} // namespace stub
