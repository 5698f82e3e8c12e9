// Reading a named RCDATA resource from a module file on disk (not from the running process's
// resources). Any thread.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace stub
{

// 0 on success, with `bytes` holding the resource; otherwise the Win32 error in HRESULT form
// (negative). `bytes` is cleared first.
HRESULT ReadFileResource(const std::wstring& path, const wchar_t* name, std::vector<BYTE>& bytes);

} // namespace stub
