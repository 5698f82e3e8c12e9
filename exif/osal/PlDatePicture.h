// PlDatePicture.h - a date and time picture formatter (d, dd, ddd, dddd, M to MMMM, y to yyyy,
// h, hh, H, HH, m, mm, s, ss, t, tt and quoted literals) over given day and month names.
// The POSIX side feeds it the C library's locale data. Pure functions: callable from any thread.
#pragma once

#include "osal/PlPlatform.h"

namespace PlOSAL
{

struct SPlLocaleNames
{
    PlWString days[7]; // Sunday first
    PlWString abbrevDays[7];
    PlWString months[12];
    PlWString abbrevMonths[12];
    PlWString am;
    PlWString pm;
};

// The English names of the "C" locale.
const SPlLocaleNames& CLocaleNames();

// Answers whether the fields form a date between 1601 and 30827 (the range of the Windows
// formatter) and a time of day.
bool IsValidDate(const SPlDateTime& when);
bool IsValidTime(const SPlDateTime& when);

// Write the formatted date or time into out; false (out emptied) when the date or time is not
// valid or the text needs more than room characters with its terminator.
bool FormatDatePicture(const SPlDateTime& when, const PlWString& pattern,
                       const SPlLocaleNames& names, size_t room, PlWString& out);
bool FormatTimePicture(const SPlDateTime& when, const PlWString& pattern,
                       const SPlLocaleNames& names, size_t room, PlWString& out);

} // namespace PlOSAL
