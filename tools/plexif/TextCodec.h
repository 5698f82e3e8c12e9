// UTF-8 at the tool's borders (command line, console, JSON) and the wide texts of the library,
// whose characters are UTF-16 code units on every platform. Pure functions, any thread.
#pragma once

#include <string>

namespace plexif
{

std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);

} // namespace plexif
