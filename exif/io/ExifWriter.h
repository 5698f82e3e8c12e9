// The writer: rebuilds the APP1 segment of a context from its tags (CApp1Builder does the byte
// layout) for the context's file and buffer operations. Reads the context only; called on the
// thread that uses the context.
#pragma once

#include "ExifTypes.h"

namespace PlExif
{

class CApp1Builder;
class CExifContext;

class CExifWriter
{
public:
    // Builds the whole segment. eErrFailed without IFD0; eErrTooLarge when the segment would
    // not fit its 16-bit length field.
    static EError BuildApp1(const CExifContext& context, CApp1Builder& builder);

private:
    static void WriteIfd(const CExifContext& context, EExifIfd ifd, CApp1Builder& builder,
                         size_t* nextField);
};

} // namespace PlExif
