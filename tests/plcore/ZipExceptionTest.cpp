#include "plcore/ZipException.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace plcore;

namespace
{

ZipException Thrown(int result)
{
    try
    {
        ThrowOnZipError(result);
    }
    catch (const ZipException& e)
    {
        return e;
    }
    return ZipException(-1, -1);
}

TEST(ThrowOnZipError, MapsEveryLayerResult)
{
    struct Case
    {
        int result;
        int32_t code;
        int32_t detail;
    } cases[] = {
        {-105, ZipErrorCrc, 0},        {-104, ZipErrorInternal, 0},
        {-103, ZipErrorBadArchive, 0}, {-102, ZipErrorBadParameter, 0},
        {-100, ZipErrorEndOfList, 0},  {-3, ZipErrorOther, -3},
        {-5, ZipErrorOther, -5},       {1, ZipErrorOther, 1},
    };
    for (const Case& c : cases)
    {
        const ZipException e = Thrown(c.result);
        EXPECT_EQ(e.m_code, c.code) << c.result;
        EXPECT_EQ(e.m_detail, c.detail) << c.result;
    }
    EXPECT_NO_THROW(ThrowOnZipError(0));
    EXPECT_STREQ(Thrown(-105).what(), "ZIP error");
}

TEST(ThrowOnZipError, IoErrorsConsultErrno)
{
    struct Case
    {
        int error;
        int32_t code;
        int32_t detail;
    } cases[] = {
        {ENOENT, ZipErrorSystem, 2},      {EACCES, ZipErrorSystem, 5},
        {ENOSPC, ZipErrorSystem, 112},    {ENAMETOOLONG, ZipErrorSystem, 111},
        {ENOTEMPTY, ZipErrorSystem, 145}, {EIO, ZipErrorSystem, 1117},
        {0, ZipErrorRuntime, 0},          {EDOM, ZipErrorRuntime, EDOM},
    };
    for (const Case& c : cases)
    {
        errno = c.error;
        const ZipException e = Thrown(-1);
        EXPECT_EQ(e.m_code, c.code) << c.error;
        EXPECT_EQ(e.m_detail, c.detail) << c.error;
    }
}

} // namespace
