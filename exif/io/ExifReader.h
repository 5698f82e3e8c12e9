// The reader's parse of an APP1 segment already copied into a context: identifier, header, the
// five directories and the thumbnail. Called by CExifContext's read operations on the thread
// that uses the context.
#pragma once

#include "ExifTypes.h"
#include "osal/PlString.h"

namespace PlExif
{

class CExifContext;
class CTiffWalker;

class CExifReader
{
public:
    // Parses m_app1 of the context into its directories; on failure the caller clears it.
    static EError Parse(CExifContext& context);

private:
    static EError ParseDirectory(CExifContext& context, const CTiffWalker& walker, uint32_t offset,
                                 EExifIfd ifd, uint32_t* next);
    // The first four value bytes of a pointer tag as an offset; 0 when there is none.
    static uint32_t PointerValue(const CExifContext& context, EExifIfd ifd, uint16_t tag);
    static void LocateThumbnail(CExifContext& context);
};

} // namespace PlExif
