// The full path of the running stub file. Any thread.
#pragma once

#include <string>

namespace stub
{

// The module file name of the process (at most 260 characters); empty when it cannot be had.
std::wstring GetOwnModulePath();

} // namespace stub
