// ExifGuard.h - runs the body of an exported or interface operation so that no exception leaves
// the library: an allocation failure becomes eErrOutOfMemory, anything else eErrFailed.
// Callable from any thread.
#pragma once

#include "PlExif.h"

#include <new>

namespace PlExif
{

template <class Body> EError Guarded(Body&& body) noexcept
{
    try
    {
        return body();
    }
    catch (const std::bad_alloc&)
    {
        return eErrOutOfMemory;
    }
    catch (...)
    {
        return eErrFailed;
    }
}

} // namespace PlExif
