#include "plcore/ZipException.h"

#include <cerrno>

namespace plcore
{

int32_t Win32ErrorFromErrno(int error)
{
    struct Mapping
    {
        int error;
        int32_t win32;
    };
    static constexpr Mapping kTable[] = {
        {ENOENT, 2},   {EIO, 1117},         {ENXIO, 20},  {ENOMEM, 14},     {EACCES, 5},
        {EFAULT, 487}, {EBUSY, 170},        {EEXIST, 80}, {ENODEV, 20},     {ENOTDIR, 267},
        {EINVAL, 87},  {ENFILE, 4},         {EMFILE, 4},  {ENOSPC, 112},    {EROFS, 29},
        {EPIPE, 109},  {ENAMETOOLONG, 111}, {ENOSYS, 1},  {ENOTEMPTY, 145},
    };
    for (const Mapping& m : kTable)
    {
        if (m.error == error)
            return m.win32;
    }
    return 0;
}

void ThrowOnZipError(int result)
{
    switch (result)
    {
    case kZipOk:
        return;
    case kZipCrcError:
        throw ZipException(ZipErrorCrc, 0);
    case kZipInternalError:
        throw ZipException(ZipErrorInternal, 0);
    case kZipBadZipFile:
        throw ZipException(ZipErrorBadArchive, 0);
    case kZipParamError:
        throw ZipException(ZipErrorBadParameter, 0);
    case kZipEndOfList:
        throw ZipException(ZipErrorEndOfList, 0);
    case kZipErrno:
    {
        const int error = errno;
        const int32_t win32 = Win32ErrorFromErrno(error);
        if (win32 != 0)
            throw ZipException(ZipErrorSystem, win32);
        throw ZipException(ZipErrorRuntime, error);
    }
    default:
        throw ZipException(ZipErrorOther, result);
    }
}

} // namespace plcore
