// PlPath.h - a path split into drive (or UNC root, or URL scheme and host), folder, name and
// extension. One object belongs to one thread at a time.
#pragma once

#include "osal/PlString.h"

namespace PlOSAL
{

class PlPath
{
public:
    PlPath() = default;
    explicit PlPath(const PlWString& path) { Set(path); }
    virtual ~PlPath();
    PlPath(const PlPath& other) = default;
    virtual PlPath& Assign(const PlPath& other);
    PlPath& operator=(const PlPath& other) { return Assign(other); }

    virtual void Set(const PlWString& path);
    virtual void Set(const wchar_t* path);

    const PlWString& GetDrive() const { return m_strDrive; }
    const PlWString& GetDir() const { return m_strDir; }
    const PlWString& GetName() const { return m_strName; }
    const PlWString& GetExt() const { return m_strExt; }
    const PlWString& GetPath() const { return m_strPath; }

private:
    void SplitLocal(const PlWString& path);

    PlWString m_strDrive;
    PlWString m_strDir;
    PlWString m_strName;
    PlWString m_strExt;
    PlWString m_strPath;
};

} // namespace PlOSAL
