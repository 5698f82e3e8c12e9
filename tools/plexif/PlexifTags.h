// The tool's names for the library's 86 known tags, in the order of their ids: the name used on
// the command line, the EXIF tag number, the directory and the declared type. Constant data,
// callable from any thread.
#pragma once

#include <cstdint>
#include <string>

namespace plexif
{

enum EDirectory : uint8_t
{
    eDirIfd0,
    eDirGps,
    eDirExif,
    eDirInterop,
    eDirIfd1,
    eDirCount
};

struct STagName
{
    const char* pszName; // the id's name without its eTag prefix, such as "DateTimeOriginal"
    uint16_t wTag;
    uint8_t nDirectory;
    uint8_t nType;
};

constexpr unsigned kTagCount = 86;

const STagName& TagName(unsigned id);
// Finds a tag by name, ignoring case, with or without the eTag prefix; -1 when unknown.
int FindTagId(const std::string& name);
// The id of the known tag with this number in this directory; -1 when none.
int FindTagId(unsigned directory, uint16_t tag);

const char* DirectoryName(unsigned directory);
const char* TypeName(unsigned type);

} // namespace plexif
