// PlDatePicture.cpp - the picture formatter behind date display on platforms without one.

#include "osal/PlDatePicture.h"

namespace PlOSAL
{

namespace
{

bool IsLeap(unsigned year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

unsigned DaysInMonth(unsigned year, unsigned month)
{
    static const unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

// 0 = Sunday (Sakamoto's method).
unsigned DayOfWeek(unsigned year, unsigned month, unsigned day)
{
    static const unsigned kOffset[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3)
        year -= 1;
    return (year + year / 4 - year / 100 + year / 400 + kOffset[month - 1] + day) % 7;
}

void AppendNumber(PlWString& out, unsigned value, unsigned minDigits)
{
    char16_t digits[16];
    size_t start = sizeof digits / sizeof digits[0];
    do
    {
        digits[--start] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value != 0);
    const size_t count = sizeof digits / sizeof digits[0] - start;
    if (count < minDigits)
        out.append(minDigits - count, u'0');
    out.append(digits + start, count);
}

// Runs the pattern; element(letter, run length, out) answers whether it consumed the letter.
template <class Element> void Walk(const PlWString& pattern, PlWString& out, Element element)
{
    size_t i = 0;
    while (i < pattern.size())
    {
        const char16_t c = pattern[i];
        if (c == u'\'')
        {
            // Quoted literal; two quotes inside stand for one quote.
            ++i;
            while (i < pattern.size())
            {
                if (pattern[i] == u'\'')
                {
                    if (i + 1 < pattern.size() && pattern[i + 1] == u'\'')
                    {
                        out.push_back(u'\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                out.push_back(pattern[i++]);
            }
            continue;
        }
        size_t run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c)
            ++run;
        if (!element(c, run, out))
        {
            out.append(run, c);
        }
        i += run;
    }
}

bool Fits(PlWString& out, size_t room)
{
    if (out.size() + 1 > room)
    {
        out.clear();
        return false;
    }
    return true;
}

} // namespace

const SPlLocaleNames& CLocaleNames()
{
    static const SPlLocaleNames names = []
    {
        SPlLocaleNames n;
        const char* days[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                               "Thursday", "Friday", "Saturday"};
        const char* months[12] = {"January",   "February", "March",    "April",
                                  "May",       "June",     "July",     "August",
                                  "September", "October",  "November", "December"};
        for (int i = 0; i < 7; ++i)
        {
            n.days[i] = FromAscii(days[i]);
            n.abbrevDays[i] = n.days[i].substr(0, 3);
        }
        for (int i = 0; i < 12; ++i)
        {
            n.months[i] = FromAscii(months[i]);
            n.abbrevMonths[i] = n.months[i].substr(0, 3);
        }
        n.am = u"AM";
        n.pm = u"PM";
        return n;
    }();
    return names;
}

bool IsValidDate(const SPlDateTime& when)
{
    return when.wYear >= 1601 && when.wYear <= 30827 && when.wMonth >= 1 && when.wMonth <= 12 &&
           when.wDay >= 1 && when.wDay <= DaysInMonth(when.wYear, when.wMonth);
}

bool IsValidTime(const SPlDateTime& when)
{
    return when.wHour <= 23 && when.wMinute <= 59 && when.wSecond <= 59 &&
           when.wMilliseconds <= 999;
}

bool FormatDatePicture(const SPlDateTime& when, const PlWString& pattern,
                       const SPlLocaleNames& names, size_t room, PlWString& out)
{
    out.clear();
    if (!IsValidDate(when))
        return false;
    const unsigned dow = DayOfWeek(when.wYear, when.wMonth, when.wDay);
    Walk(pattern, out,
         [&](char16_t c, size_t run, PlWString& text)
         {
             switch (c)
             {
             case u'd':
                 if (run == 1)
                     AppendNumber(text, when.wDay, 1);
                 else if (run == 2)
                     AppendNumber(text, when.wDay, 2);
                 else if (run == 3)
                     text += names.abbrevDays[dow];
                 else
                     text += names.days[dow];
                 return true;
             case u'M':
                 if (run <= 2)
                     AppendNumber(text, when.wMonth, static_cast<unsigned>(run));
                 else if (run == 3)
                     text += names.abbrevMonths[when.wMonth - 1];
                 else
                     text += names.months[when.wMonth - 1];
                 return true;
             case u'y':
                 if (run == 1)
                     AppendNumber(text, when.wYear % 100, 1);
                 else if (run == 2)
                     AppendNumber(text, when.wYear % 100, 2);
                 else
                     AppendNumber(text, when.wYear, 4);
                 return true;
             default:
                 return false;
             }
         });
    return Fits(out, room);
}

bool FormatTimePicture(const SPlDateTime& when, const PlWString& pattern,
                       const SPlLocaleNames& names, size_t room, PlWString& out)
{
    out.clear();
    if (!IsValidTime(when))
        return false;
    const unsigned hour12 = when.wHour % 12 == 0 ? 12 : when.wHour % 12;
    Walk(pattern, out,
         [&](char16_t c, size_t run, PlWString& text)
         {
             const unsigned digits = run >= 2 ? 2 : 1;
             switch (c)
             {
             case u'h':
                 AppendNumber(text, hour12, digits);
                 return true;
             case u'H':
                 AppendNumber(text, when.wHour, digits);
                 return true;
             case u'm':
                 AppendNumber(text, when.wMinute, digits);
                 return true;
             case u's':
                 AppendNumber(text, when.wSecond, digits);
                 return true;
             case u't':
             {
                 const PlWString& marker = when.wHour < 12 ? names.am : names.pm;
                 text += run == 1 ? marker.substr(0, 1) : marker;
                 return true;
             }
             default:
                 return false;
             }
         });
    return Fits(out, room);
}

} // namespace PlOSAL
