// Building a Windows command line from separate arguments, quoted so that the C runtime of the
// started program splits it back into the same arguments.
#pragma once

#include <string>
#include <vector>

inline std::wstring QuoteArgument(const std::wstring& arg)
{
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return arg;
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg)
    {
        if (c == L'\\')
        {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, the quote itself escaped.
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    quoted += L'"';
    return quoted;
}

inline std::wstring BuildCommandLine(const std::vector<std::wstring>& args)
{
    std::wstring line;
    for (const std::wstring& arg : args)
    {
        if (!line.empty())
            line += L' ';
        line += QuoteArgument(arg);
    }
    return line;
}
