// ExifTagDef.h - the tag definition table (86 rows, row i describing EExifTagId i) and the row
// lookup per directory. Constant data built before first use; callable from any thread.
#pragma once

#include "ExifTypes.h"
#include "osal/PlString.h"

namespace PlExif
{

class CExifContext;
class CExifTag;

using FExifFormatter = EError (*)(const CExifTag& tag, PlOSAL::PlWString& text);
using FExifTagMaker = CExifTag* (*)(CExifContext* context, const struct SExifTagDef& row,
                                    uint32_t count, uint8_t* value);

struct SExifTagDef
{
    uint32_t id;   // the EExifTagId, equal to the row's position
    uint32_t tag;  // EXIF tag number
    uint32_t ifd;  // EExifIfd of the directory the tag belongs to
    uint32_t type; // declared TIFF type; fixes the tag class
    uint32_t nameId;
    FExifFormatter formatter;
    FExifTagMaker maker;
};

// The row of an id below 86, else null.
const SExifTagDef* GetRow(uint32_t id);
// The row filed under (directory, tag number), else null.
const SExifTagDef* FindRow(uint32_t ifd, uint32_t tag);

// Ids a client may not fetch for change, create or remove.
bool IsReadOnlyId(uint32_t id);

} // namespace PlExif
