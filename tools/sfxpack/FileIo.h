// 64-bit positioning and opening by path for C stdio files, the same on Linux and Windows.
// Any thread (per file).
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace sfxpack
{

struct FileCloser
{
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

inline FilePtr OpenFile(const std::filesystem::path& path, const char* mode)
{
#ifdef _WIN32
    wchar_t wideMode[8] = {};
    for (int i = 0; i < 7 && mode[i] != '\0'; ++i)
        wideMode[i] = static_cast<wchar_t>(mode[i]);
    return FilePtr(_wfopen(path.c_str(), wideMode));
#else
    return FilePtr(std::fopen(path.c_str(), mode));
#endif
}

inline int Seek(std::FILE* f, uint64_t offset)
{
#ifdef _WIN32
    return _fseeki64(f, static_cast<__int64>(offset), SEEK_SET);
#else
    return fseeko(f, static_cast<off_t>(offset), SEEK_SET);
#endif
}

inline int SeekToEnd(std::FILE* f)
{
#ifdef _WIN32
    return _fseeki64(f, 0, SEEK_END);
#else
    return fseeko(f, 0, SEEK_END);
#endif
}

inline uint64_t Tell(std::FILE* f)
{
#ifdef _WIN32
    return static_cast<uint64_t>(_ftelli64(f));
#else
    return static_cast<uint64_t>(ftello(f));
#endif
}

} // namespace sfxpack
