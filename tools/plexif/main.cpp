// plexif: shows, sets and removes the EXIF tags of JPEG files and gets, sets or removes their
// thumbnail, through the PlEXIF library. Exit codes: 0 success, 1 a file operation failed,
// 2 the command line is wrong.
#include "PlExif.h"
#include "PlexifTags.h"
#include "SegmentEntries.h"
#include "TextCodec.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <shellapi.h>
#include <windows.h>
#endif

using namespace PlExif;
using plexif::TagName;

namespace
{

const char kUsage[] =
    "Usage:\n"
    "  plexif show [--lang en|de] [--json] FILE...\n"
    "  plexif set FILE TAG=VALUE...\n"
    "  plexif rm FILE TAG...\n"
    "  plexif thumb get FILE OUT.jpg\n"
    "  plexif thumb set FILE IN.jpg\n"
    "  plexif thumb rm FILE\n"
    "  plexif --help\n"
    "\n"
    "FILE is a JPEG file (.jpg, .jpeg, .jpe or .jfif). TAG is a tag name such as Make,\n"
    "DateTimeOriginal or GPSLatitude (case does not matter; plexif show --json lists them).\n"
    "VALUE by the tag's type: text for ASCII tags and the user comment; numbers separated by\n"
    "blanks or commas for BYTE, SHORT and LONG tags; fractions such as 1/125 or decimals such\n"
    "as 5.6 for RATIONAL and SRATIONAL tags; hex:0A0B... for other UNDEFINED tags.\n"
    "Files are changed in place; a failed change leaves the file as it was.\n";

int Usage(const char* problem)
{
    std::fprintf(stderr, "plexif: %s\n\n%s", problem, kUsage);
    return 2;
}

const char* ErrorText(EError e)
{
    switch (e)
    {
    case eErrFileOpen:
        return "cannot open the file (missing, or in use by another program)";
    case eErrFileType:
        return "not a JPEG file name (.jpg, .jpeg, .jpe or .jfif)";
    case eErrNoExif:
        return "the file holds no EXIF data";
    case eErrNoTags:
        return "no tags left to write";
    case eErrNotFound:
        return "not found";
    case eErrWrongType:
        return "the value does not fit the tag's type";
    case eErrOutOfMemory:
        return "out of memory";
    case eErrTooLarge:
        return "the EXIF data would grow past 64 KiB";
    case eErrReadOnlyTag:
        return "the tag is managed by the library and cannot be changed";
    case eErrNoValue:
        return "the tag holds no value";
    default:
        return "the file or its EXIF data is damaged, or it cannot be read or written";
    }
}

int Fail(const std::string& file, const std::string& what, EError e)
{
    std::fprintf(stderr, "plexif: %s: %s%s%s\n", file.c_str(), what.c_str(),
                 what.empty() ? "" : ": ", ErrorText(e));
    return 1;
}

std::string Text(IPlExifString* s)
{
    if (!s)
        return {};
    const long n = s->GetLength();
    std::wstring w(static_cast<size_t>(n), L'\0');
    if (n > 0)
        s->GetString(w.data(), n);
    s->Release();
    return plexif::WideToUtf8(w);
}

std::string JsonString(const std::string& s)
{
    std::string out = "\"";
    for (unsigned char c : s)
    {
        if (c == '"' || c == '\\')
            out += {'\\', static_cast<char>(c)};
        else if (c < 0x20)
        {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        }
        else
            out += static_cast<char>(c);
    }
    return out + "\"";
}

std::string Hex(const std::vector<uint8_t>& bytes)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    for (uint8_t b : bytes)
        out += {kDigits[b >> 4], kDigits[b & 15]};
    return out;
}

// Known tags of a context, by id; null where absent.
struct SKnownTags
{
    const IPlExifTag* tags[plexif::kTagCount] = {};
    explicit SKnownTags(const PlExifContext& ctx)
    {
        for (unsigned id = 0; id < plexif::kTagCount; ++id)
            if (ctx.GetTag(static_cast<EExifTagId>(id), tags[id]) != eOk)
                tags[id] = nullptr;
    }
    ~SKnownTags()
    {
        for (const IPlExifTag* t : tags)
            if (t)
                const_cast<IPlExifTag*>(t)->Release();
    }
    int IdOf(const IPlExifTag* tag) const
    {
        for (unsigned id = 0; id < plexif::kTagCount; ++id)
            if (tags[id] == tag)
                return static_cast<int>(id);
        return -1;
    }
};

std::string DisplayName(const IPlExifTag* tag)
{
    IPlExifString* s = nullptr;
    return const_cast<IPlExifTag*>(tag)->GetDisplayName(s) == eOk ? Text(s) : std::string();
}

std::string ValueText(const IPlExifTag* tag, bool& ok)
{
    IPlExifString* s = nullptr;
    ok = const_cast<IPlExifTag*>(tag)->GetValueText(s) == eOk;
    return ok ? Text(s) : std::string();
}

bool Segment(const PlExifContext& ctx, bool& bigEndian, std::vector<plexif::SSegmentEntry>& out)
{
    IPlExifBuffer* buf = nullptr;
    out.clear();
    if (ctx.WriteWholeApp1ToBuffer(buf) != eOk || !buf)
        return false;
    const bool ok = plexif::ListSegmentEntries(buf->GetData(), buf->GetSize(), bigEndian, out);
    buf->Release();
    return ok;
}

void ShowText(const std::string& file, const PlExifContext& ctx, bool header)
{
    if (header)
        std::printf("== %s\n", file.c_str());
    SKnownTags known(ctx);
    IPlExifTagIterator* it = nullptr;
    if (ctx.GetTagIterator(it) == eOk && it)
    {
        const IPlExifTag* tag = nullptr;
        while (it->Next(tag) == eOk)
        {
            const int id = known.IdOf(tag);
            if (id >= 0)
            {
                bool ok = false;
                const std::string value = ValueText(tag, ok);
                std::printf("%s: %s\n", DisplayName(tag).c_str(),
                            ok ? value.c_str() : "(no value)");
            }
            const_cast<IPlExifTag*>(tag)->Release();
        }
        it->Release();
    }
    bool big = false;
    std::vector<plexif::SSegmentEntry> entries;
    Segment(ctx, big, entries);
    for (const auto& e : entries)
        if (plexif::FindTagId(e.nDirectory, e.wTag) < 0)
            std::printf("[%s 0x%04X]: %s, %u value%s\n", plexif::DirectoryName(e.nDirectory),
                        e.wTag, plexif::TypeName(e.wType), e.nCount, e.nCount == 1 ? "" : "s");
    unsigned long size = 0;
    if (ctx.GetThumbnail() && ctx.GetThumbnailSize(size) == eOk)
        std::printf("[thumbnail]: %lu bytes\n", size);
}

void ShowJson(const std::string& file, const PlExifContext& ctx, bool first)
{
    bool big = false;
    std::vector<plexif::SSegmentEntry> entries;
    Segment(ctx, big, entries);
    SKnownTags known(ctx);
    std::printf("%s{\"file\":%s,\"byteOrder\":\"%s\",\"tags\":[", first ? "" : ",",
                JsonString(file).c_str(), big ? "MM" : "II");
    bool firstTag = true;
    for (const auto& e : entries)
    {
        std::printf("%s{\"ifd\":\"%s\",\"tag\":%u,\"type\":%u,\"typeName\":\"%s\",\"count\":%u,"
                    "\"raw\":\"%s\"",
                    firstTag ? "" : ",", plexif::DirectoryName(e.nDirectory), e.wTag, e.wType,
                    plexif::TypeName(e.wType), e.nCount, Hex(e.raw).c_str());
        firstTag = false;
        const int id = plexif::FindTagId(e.nDirectory, e.wTag);
        if (id >= 0 && known.tags[id])
        {
            bool ok = false;
            const std::string value = ValueText(known.tags[id], ok);
            std::printf(",\"id\":%d,\"name\":%s,\"display\":%s", id,
                        JsonString(TagName(id).pszName).c_str(),
                        JsonString(DisplayName(known.tags[id])).c_str());
            if (ok)
                std::printf(",\"value\":%s", JsonString(value).c_str());
        }
        std::printf("}");
    }
    unsigned long size = 0;
    if (ctx.GetThumbnail() && ctx.GetThumbnailSize(size) == eOk)
        std::printf("],\"thumbnail\":{\"size\":%lu}}", size);
    else
        std::printf("],\"thumbnail\":null}");
}

int Show(const std::vector<std::string>& args)
{
    bool json = false;
    std::vector<std::string> files;
    for (size_t i = 0; i < args.size(); ++i)
    {
        if (args[i] == "--json")
            json = true;
        else if (args[i] == "--lang" || args[i].rfind("--lang=", 0) == 0)
        {
            std::string lang = args[i].size() > 6 ? args[i].substr(7) : "";
            if (lang.empty() && ++i < args.size())
                lang = args[i];
            if (lang == "en")
                SetLanguageID(0x0809);
            else if (lang == "de")
                SetLanguageID(0x0407);
            else
                return Usage("--lang takes en or de");
        }
        else if (args[i].rfind("--", 0) == 0)
            return Usage(("unknown option " + args[i]).c_str());
        else
            files.push_back(args[i]);
    }
    if (files.empty())
        return Usage("show needs at least one FILE");
    int status = 0;
    if (json)
        std::printf("[");
    bool first = true;
    for (const std::string& file : files)
    {
        PlExifContext ctx;
        const EError e = ctx.ReadFromFile(plexif::Utf8ToWide(file).c_str());
        if (e != eOk)
        {
            status = Fail(file, "", e);
            continue;
        }
        if (json)
            ShowJson(file, ctx, first);
        else
            ShowText(file, ctx, files.size() > 1);
        first = false;
    }
    if (json)
        std::printf("]\n");
    return status;
}

// Reads a file's tags for a change; a file without EXIF data starts from an empty context.
int Load(const std::string& file, PlExifContext& ctx)
{
    const EError e = ctx.ReadFromFile(plexif::Utf8ToWide(file).c_str());
    if (e == eOk || e == eErrNoExif)
        return 0;
    return Fail(file, "", e);
}

int Save(const std::string& file, const PlExifContext& ctx)
{
    const EError e = ctx.WriteToFile(plexif::Utf8ToWide(file).c_str());
    return e == eOk ? 0 : Fail(file, "not written", e);
}

std::vector<std::string> Split(const std::string& value)
{
    std::vector<std::string> parts;
    std::string cur;
    for (char c : value + " ")
    {
        if (c == ' ' || c == ',' || c == '\t')
        {
            if (!cur.empty())
                parts.push_back(cur);
            cur.clear();
        }
        else
            cur += c;
    }
    return parts;
}

bool ParseInteger(const std::string& s, long long lo, long long hi, long long& out)
{
    errno = 0;
    char* end = nullptr;
    out = std::strtoll(s.c_str(), &end, 0);
    return errno == 0 && end && *end == '\0' && !s.empty() && out >= lo && out <= hi;
}

// A fraction n/d or a decimal number, turned into a fraction.
bool ParseRational(const std::string& s, bool isSigned, long long& num, long long& den)
{
    const long long lo = isSigned ? INT32_MIN : 0;
    const long long hi = isSigned ? INT32_MAX : UINT32_MAX;
    const size_t slash = s.find('/');
    if (slash != std::string::npos)
        return ParseInteger(s.substr(0, slash), lo, hi, num) &&
               ParseInteger(s.substr(slash + 1), isSigned ? 1 : 0, hi, den);
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(s.c_str(), &end);
    if (s.empty() || errno || !end || *end || !std::isfinite(v) || v < double(lo) || v > double(hi))
        return false;
    den = 1;
    while (den < 1000000 && std::fabs(v * den - std::round(v * den)) > 1e-9 &&
           std::fabs(v * den * 10) <= double(hi))
        den *= 10;
    num = std::llround(v * den);
    return num >= lo && num <= hi;
}

EError SetValue(IPlExifTag* tag, unsigned id, const std::string& value, std::string& problem)
{
    const unsigned type = static_cast<unsigned>(tag->GetType());
    const std::vector<std::string> parts = Split(value);
    switch (type)
    {
    case 2:
        return tag->SetString(plexif::Utf8ToWide(value).c_str());
    case 7:
        if (value.rfind("hex:", 0) == 0)
        {
            std::vector<unsigned char> bytes;
            const std::string hex = value.substr(4);
            for (size_t i = 0; i + 1 < hex.size() + 1; i += 2)
            {
                long long b = 0;
                if (i + 2 > hex.size() || !ParseInteger("0x" + hex.substr(i, 2), 0, 255, b))
                {
                    problem = "hex: needs pairs of hex digits";
                    return eErrFailed;
                }
                bytes.push_back(static_cast<unsigned char>(b));
            }
            return tag->SetUndefined(bytes.data(), static_cast<unsigned long>(bytes.size()));
        }
        if (TagName(id).wTag == 0x9286)
            return tag->SetString(plexif::Utf8ToWide(value).c_str());
        problem = "give the bytes as hex:...";
        return eErrFailed;
    case 1:
    case 3:
    case 4:
    {
        const long long hi = type == 1 ? 255 : type == 3 ? 65535 : UINT32_MAX;
        std::vector<unsigned char> bytes;
        std::vector<unsigned short> shorts;
        std::vector<unsigned long> longs;
        for (const std::string& p : parts)
        {
            long long v = 0;
            if (!ParseInteger(p, 0, hi, v))
            {
                problem = "'" + p + "' is not a number from 0 to " + std::to_string(hi);
                return eErrFailed;
            }
            bytes.push_back(static_cast<unsigned char>(v));
            shorts.push_back(static_cast<unsigned short>(v));
            longs.push_back(static_cast<unsigned long>(v));
        }
        if (parts.empty())
        {
            problem = "no number given";
            return eErrFailed;
        }
        const auto n = static_cast<unsigned long>(parts.size());
        return type == 1   ? tag->SetBytes(bytes.data(), n)
               : type == 3 ? tag->SetShorts(shorts.data(), n)
                           : tag->SetLongs(longs.data(), n);
    }
    case 5:
    case 10:
    {
        std::vector<unsigned long> upairs;
        std::vector<long> spairs;
        for (const std::string& p : parts)
        {
            long long num = 0, den = 0;
            if (!ParseRational(p, type == 10, num, den))
            {
                problem = "'" + p + "' is not a fraction (such as 1/125) or a decimal number";
                return eErrFailed;
            }
            upairs.push_back(static_cast<unsigned long>(num));
            upairs.push_back(static_cast<unsigned long>(den));
            spairs.push_back(static_cast<long>(num));
            spairs.push_back(static_cast<long>(den));
        }
        if (parts.empty())
        {
            problem = "no number given";
            return eErrFailed;
        }
        const auto n = static_cast<unsigned long>(parts.size());
        return type == 5 ? tag->SetRationals(upairs.data(), n)
                         : tag->SetSRationals(spairs.data(), n);
    }
    default:
        return eErrWrongType;
    }
}

int Set(const std::vector<std::string>& args)
{
    if (args.size() < 2)
        return Usage("set needs FILE and at least one TAG=VALUE");
    const std::string& file = args[0];
    PlExifContext ctx;
    if (int rc = Load(file, ctx))
        return rc;
    for (size_t i = 1; i < args.size(); ++i)
    {
        const size_t eq = args[i].find('=');
        if (eq == std::string::npos)
            return Usage(("'" + args[i] + "' is not TAG=VALUE").c_str());
        const std::string name = args[i].substr(0, eq);
        const int id = plexif::FindTagId(name);
        if (id < 0)
            return Usage(("unknown tag " + name).c_str());
        IPlExifTag* tag = nullptr;
        EError e = ctx.CreateTag(static_cast<EExifTagId>(id), tag);
        std::string problem;
        if (e == eOk)
        {
            e = SetValue(tag, static_cast<unsigned>(id), args[i].substr(eq + 1), problem);
            tag->Release();
        }
        if (e != eOk)
        {
            if (!problem.empty())
            {
                std::fprintf(stderr, "plexif: %s: %s: %s\n", file.c_str(), name.c_str(),
                             problem.c_str());
                return 1;
            }
            return Fail(file, name, e);
        }
    }
    return Save(file, ctx);
}

int Remove(const std::vector<std::string>& args)
{
    if (args.size() < 2)
        return Usage("rm needs FILE and at least one TAG");
    const std::string& file = args[0];
    PlExifContext ctx;
    const EError read = ctx.ReadFromFile(plexif::Utf8ToWide(file).c_str());
    if (read != eOk)
        return Fail(file, "", read);
    for (size_t i = 1; i < args.size(); ++i)
    {
        const int id = plexif::FindTagId(args[i]);
        if (id < 0)
            return Usage(("unknown tag " + args[i]).c_str());
        const EError e = ctx.RemoveTag(static_cast<EExifTagId>(id));
        if (e != eOk && e != eTagRemoved)
            return Fail(file, args[i], e);
    }
    return Save(file, ctx);
}

bool ReadWhole(const std::string& path, std::vector<unsigned char>& bytes)
{
#ifdef _WIN32
    FILE* f = _wfopen(plexif::Utf8ToWide(path).c_str(), L"rb");
#else
    FILE* f = std::fopen(path.c_str(), "rb");
#endif
    if (!f)
        return false;
    bytes.clear();
    unsigned char buf[65536];
    size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        bytes.insert(bytes.end(), buf, buf + n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

bool WriteWhole(const std::string& path, const unsigned char* data, size_t size)
{
#ifdef _WIN32
    FILE* f = _wfopen(plexif::Utf8ToWide(path).c_str(), L"wb");
#else
    FILE* f = std::fopen(path.c_str(), "wb");
#endif
    if (!f)
        return false;
    bool ok = std::fwrite(data, 1, size, f) == size;
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

int Thumb(const std::vector<std::string>& args)
{
    if (args.empty())
        return Usage("thumb needs get, set or rm");
    const std::string& op = args[0];
    if ((op == "get" || op == "set") && args.size() != 3)
        return Usage(("thumb " + op + " needs FILE and an image file").c_str());
    if (op == "rm" && args.size() != 2)
        return Usage("thumb rm needs FILE");
    if (op != "get" && op != "set" && op != "rm")
        return Usage(("unknown thumb command " + op).c_str());
    const std::string& file = args[1];
    PlExifContext ctx;
    if (op == "set")
    {
        if (int rc = Load(file, ctx))
            return rc;
        std::vector<unsigned char> image;
        if (!ReadWhole(args[2], image))
        {
            std::fprintf(stderr, "plexif: %s: cannot read the thumbnail image\n", args[2].c_str());
            return 1;
        }
        if (image.size() < 4 || image[0] != 0xFF || image[1] != 0xD8)
        {
            std::fprintf(stderr, "plexif: %s: the thumbnail is not a JPEG image\n",
                         args[2].c_str());
            return 1;
        }
        const EError e =
            ctx.SetThumbnail(image.data(), static_cast<unsigned long>(image.size()), nullptr);
        return e == eOk ? Save(file, ctx) : Fail(file, "thumbnail", e);
    }
    const EError read = ctx.ReadFromFile(plexif::Utf8ToWide(file).c_str());
    if (read != eOk)
        return Fail(file, "", read);
    const unsigned char* data = ctx.GetThumbnail();
    unsigned long size = 0;
    if (!data || ctx.GetThumbnailSize(size) != eOk)
    {
        std::fprintf(stderr, "plexif: %s: the file holds no thumbnail\n", file.c_str());
        return 1;
    }
    if (op == "get")
    {
        if (!WriteWhole(args[2], data, size))
        {
            std::fprintf(stderr, "plexif: %s: cannot write the thumbnail\n", args[2].c_str());
            return 1;
        }
        return 0;
    }
    ctx.RemoveThumbnail(); // answers eErrFailed by contract, also when it removed the thumbnail
    if (ctx.GetThumbnail())
        return Fail(file, "thumbnail", eErrFailed);
    return Save(file, ctx);
}

int Run(const std::vector<std::string>& argv)
{
    if (argv.empty())
        return Usage("no command given");
    const std::string& cmd = argv[0];
    if (cmd == "--help" || cmd == "-h" || cmd == "help")
    {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const std::vector<std::string> rest(argv.begin() + 1, argv.end());
    if (cmd == "show")
        return Show(rest);
    if (cmd == "set")
        return Set(rest);
    if (cmd == "rm")
        return Remove(rest);
    if (cmd == "thumb")
        return Thumb(rest);
    return Usage(("unknown command " + cmd).c_str());
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args;
#ifdef _WIN32
    // The wide command line keeps every file name intact; the console gets UTF-8.
    (void)argv;
    int wargc = 0;
    LPWSTR* wargv = CommandLineToArgvW(GetCommandLineW(), &wargc);
    for (int i = 1; wargv && i < wargc; ++i)
        args.push_back(plexif::WideToUtf8(wargv[i]));
    LocalFree(wargv);
    SetConsoleOutputCP(CP_UTF8);
#else
    args.assign(argv + 1, argv + argc);
#endif
    (void)argc;
    const int status = Run(args);
    // Everything shown is out before the process ends, however it ends.
    std::fflush(stdout);
    return status;
}
