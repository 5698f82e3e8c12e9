// PlPath.cpp - splitting local, UNC and URL paths.

#include "osal/PlPath.h"

namespace PlOSAL
{

namespace
{

// The room of the classic path split: drive, folder, name and extension, terminator excluded.
constexpr size_t kMaxDrive = 2;
constexpr size_t kMaxDir = 255;
constexpr size_t kMaxName = 255;
constexpr size_t kMaxExt = 255;

bool IsSeparator(char16_t c)
{
    return c == u'\\' || c == u'/';
}

bool IsAsciiAlpha(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// A scheme of two or more letters, digits, '+', '-' or '.' followed by "://".
bool IsUrl(const PlWString& path, size_t& schemeEnd)
{
    schemeEnd = path.find(u"://");
    if (schemeEnd == PlWString::npos || schemeEnd < 2 || !IsAsciiAlpha(path[0]))
        return false;
    for (size_t i = 0; i < schemeEnd; ++i)
    {
        const char16_t c = path[i];
        if (!IsAsciiAlpha(c) && !(c >= u'0' && c <= u'9') && c != u'+' && c != u'-' && c != u'.')
            return false;
    }
    return true;
}

} // namespace

PlPath::~PlPath() = default;

PlPath& PlPath::Assign(const PlPath& other)
{
    m_strDrive = other.m_strDrive;
    m_strDir = other.m_strDir;
    m_strName = other.m_strName;
    m_strExt = other.m_strExt;
    m_strPath = other.m_strPath;
    return *this;
}

void PlPath::Set(const wchar_t* path)
{
    Set(FromWide(path));
}

void PlPath::Set(const PlWString& path)
{
    m_strDrive.clear();
    m_strDir.clear();
    m_strName.clear();
    m_strExt.clear();
    m_strPath.clear();
    if (path.empty())
        return;

    size_t schemeEnd = 0;
    if (path.size() >= 2 && path[0] == u'\\' && path[1] == u'\\')
    {
        // \\server or \\server\share, possibly followed by a local part.
        const size_t serverEnd = path.find(u'\\', 2);
        if (serverEnd == PlWString::npos)
        {
            m_strDrive = path;
        }
        else
        {
            const size_t shareEnd = path.find(u'\\', serverEnd + 1);
            if (shareEnd == PlWString::npos || shareEnd + 1 == path.size())
            {
                m_strDrive = path.substr(0, shareEnd);
                m_strDir.assign(1, u'\\');
            }
            else
            {
                m_strDrive = path.substr(0, shareEnd);
                SplitLocal(path.substr(shareEnd));
                m_strDrive = path.substr(0, shareEnd);
            }
        }
    }
    else if (IsUrl(path, schemeEnd))
    {
        const size_t hostStart = schemeEnd + 3;
        size_t first = PlWString::npos;
        size_t last = PlWString::npos;
        for (size_t i = hostStart; i < path.size(); ++i)
        {
            if (IsSeparator(path[i]))
            {
                if (first == PlWString::npos)
                    first = i;
                last = i;
            }
        }
        if (first == PlWString::npos)
        {
            m_strDrive = path;
        }
        else
        {
            size_t dot = path.rfind(u'.');
            if (dot != PlWString::npos && dot < last)
                dot = PlWString::npos;
            m_strDrive = path.substr(0, first);
            m_strDir = path.substr(first, last + 1 - first);
            if (dot == PlWString::npos)
            {
                m_strName = path.substr(last + 1);
            }
            else
            {
                m_strName = path.substr(last + 1, dot - last - 1);
                m_strExt = path.substr(dot);
            }
        }
    }
    else
    {
        SplitLocal(path);
    }
    m_strPath.reserve(m_strDrive.size() + m_strDir.size() + m_strName.size() + m_strExt.size());
    m_strPath.append(m_strDrive).append(m_strDir).append(m_strName).append(m_strExt);
}

void PlPath::SplitLocal(const PlWString& path)
{
    PlWString drive, dir, name, ext;
    size_t pos = 0;
    if (path.size() >= 2 && path[1] == u':')
    {
        drive = path.substr(0, 2);
        pos = 2;
    }
    size_t lastSep = PlWString::npos;
    for (size_t i = pos; i < path.size(); ++i)
    {
        if (IsSeparator(path[i]))
            lastSep = i;
    }
    size_t nameStart = pos;
    if (lastSep != PlWString::npos)
    {
        dir = path.substr(pos, lastSep + 1 - pos);
        nameStart = lastSep + 1;
    }
    const size_t dot = path.rfind(u'.');
    if (dot != PlWString::npos && dot >= nameStart)
    {
        name = path.substr(nameStart, dot - nameStart);
        ext = path.substr(dot);
    }
    else
    {
        name = path.substr(nameStart);
    }
    // A part too long for the split leaves every part empty, so that a later extension test fails.
    if (drive.size() > kMaxDrive || dir.size() > kMaxDir || name.size() > kMaxName ||
        ext.size() > kMaxExt)
        return;
    m_strDrive = drive;
    m_strDir = dir;
    m_strName = name;
    m_strExt = ext;
}

} // namespace PlOSAL
