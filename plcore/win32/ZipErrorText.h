// The message with which the stub reports a ZipException (before the path is appended).
// Any thread; `loadString` fetches a text of the stub's string table by its local id.
#pragma once

#include "plcore/ZipException.h"

#include <functional>
#include <string>

namespace plcore
{

constexpr unsigned kIdsCannotRead = 135;    // "The compressed setup file could not be read."
constexpr unsigned kIdsCannotExtract = 137; // "The installation files could not be extracted."
constexpr unsigned kIdsCorrupted = 155;     // "The setup file is corrupted. ..."
constexpr unsigned kIdsInternalError = 156; // "An internal error occured during extraction ..."

std::wstring FormatZipError(const ZipException& e, const std::wstring& path,
                            const std::function<std::wstring(unsigned)>& loadString);

} // namespace plcore
