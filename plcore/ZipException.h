// ZipException: the one way the archive reader reports a failure, and ThrowOnZipError, which
// turns a result of the unzip layer into it. Thrown by value, caught by reference; any thread.
#pragma once

#include <cstdint>
#include <exception>

namespace plcore
{

enum ZipErrorKind : int32_t
{
    ZipErrorOther = 0,        // another layer result (an inflate error); detail: that result
    ZipErrorEndOfList = 1,    // end of the entry list where an entry was required
    ZipErrorCrc = 2,          // CRC mismatch when an entry was closed
    ZipErrorBadParameter = 3, // the layer rejected a parameter
    ZipErrorBadArchive = 4,   // damaged archive, or no archive open
    ZipErrorInternal = 5,     // the layer's internal error
    ZipErrorRuntime = 6,      // I/O error with an errno outside the table; detail: errno
    ZipErrorSystem = 7,       // an operating-system call failed; detail: Win32 error code
};

class ZipException : public std::exception
{
public:
    ZipException(int32_t code, int32_t detail) : m_code(code), m_detail(detail) {}
    const char* what() const noexcept override { return "ZIP error"; }

    int32_t m_code;
    int32_t m_detail;
};

// Results of the unzip layer.
constexpr int kZipOk = 0;
constexpr int kZipErrno = -1;
constexpr int kZipEndOfList = -100;
constexpr int kZipParamError = -102;
constexpr int kZipBadZipFile = -103;
constexpr int kZipInternalError = -104;
constexpr int kZipCrcError = -105;

// Returns for 0; throws the matching ZipException otherwise (for -1 after consulting errno).
void ThrowOnZipError(int result);

// The Win32 error code for a C runtime errno, or 0 when the table has none.
int32_t Win32ErrorFromErrno(int error);

} // namespace plcore
