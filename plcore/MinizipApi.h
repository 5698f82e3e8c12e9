// The unzip layer of zlib's minizip, included the one way that works in both builds: Debian's
// libminizip-dev on Linux, zlib's contributed sources (with the Win32 file functions) for MinGW.
#pragma once

#if __has_include(<minizip/unzip.h>)
#include <minizip/unzip.h>
#else
// Newer zlib headers dropped the OF() prototype macro that minizip's headers still use.
#ifndef OF
#define OF(args) args
#endif
#include <unzip.h>
// iowin32.h needs the types of unzip.h.
#include <iowin32.h>
#endif
