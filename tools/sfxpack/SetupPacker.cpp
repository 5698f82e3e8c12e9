#include "tools/sfxpack/SetupPacker.h"

#include "plcore/ByteOrder.h"
#include "plcore/EntryName.h"
#include "plcore/PeImage.h"
#include "plcore/SetupHeaders.h"
#include "plcore/VersionBlock.h"
#include "tools/sfxpack/ZipWriter.h"

#include "tools/sfxpack/FileIo.h"

#include "plcore/MinizipApi.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <memory>
#include <optional>

namespace sfxpack
{
namespace fs = std::filesystem;
namespace
{

using plcore::CPeImage;
using plcore::PeResourceKey;

// The stub's own texts for the size check (its string table, English).
constexpr const char* kTextCannotRead = "The compressed setup file could not be read.";
constexpr const char* kTextCorrupted = "The setup file is corrupted. If you downloaded this file "
                                       "from the internet, please download it again.";

constexpr uint16_t kMachineI386 = 0x14C;
constexpr char kDefaultSetupInfo[] = "SetupInfo.ini";

// A path for messages, in UTF-8 on both systems.
std::string Shown(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// The upper case of a UTF-16 unit for the scripts file names are mostly written in (Latin,
// Greek, Cyrillic); other units stay as they are. A table of our own, so the answer does not
// depend on the locales installed on the packing machine.
char16_t UpperForWindows(char16_t c)
{
    if (c >= u'a' && c <= u'z')
        return static_cast<char16_t>(c - 0x20);
    if ((c >= 0x00E0 && c <= 0x00FE && c != 0x00F7) ||
        (c >= 0x03B1 && c <= 0x03CB && c != 0x03C2) || (c >= 0x0430 && c <= 0x044F))
        return static_cast<char16_t>(c - 0x20);
    if (c == 0x00FF)
        return 0x0178;
    if (c >= 0x0450 && c <= 0x045F)
        return static_cast<char16_t>(c - 0x50);
    // Latin Extended-A and the Cyrillic supplements pair upper and lower case side by side.
    const bool oddLower = (c >= 0x0100 && c <= 0x012F) || (c >= 0x0132 && c <= 0x0137) ||
                          (c >= 0x014A && c <= 0x0177) || (c >= 0x0460 && c <= 0x04BF) ||
                          (c >= 0x04D0 && c <= 0x052F);
    const bool evenLower = (c >= 0x0139 && c <= 0x0148) || (c >= 0x0179 && c <= 0x017E) ||
                           (c >= 0x04C1 && c <= 0x04CE);
    if ((oddLower && (c & 1) == 1) || (evenLower && (c & 1) == 0))
        return static_cast<char16_t>(c - 1);
    return c;
}

// An entry name as Windows compares names: upper-cased letter by letter, beyond ASCII too
// (Ärger.txt and ärger.txt are one file there).
std::u16string FoldedForWindows(std::string_view utf8Name)
{
    std::u16string name;
    if (!plcore::DecodeUtf8(utf8Name, name))
        name.assign(utf8Name.begin(), utf8Name.end());
    for (char16_t& c : name)
        c = UpperForWindows(c);
    return name;
}

std::u16string Ascii16(std::string_view s)
{
    return std::u16string(s.begin(), s.end());
}

std::string Narrow(const std::u16string& s)
{
    std::string out;
    for (char16_t c : s)
        out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

bool IsAscii(std::string_view s)
{
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x20 && c < 0x7F; });
}

std::vector<uint8_t> ReadHead(const fs::path& path, uint64_t limit, uint64_t& fileSize)
{
    std::ifstream in(path, std::ios::binary);
    std::error_code ec;
    fileSize = fs::file_size(path, ec);
    if (!in || ec)
        throw CPackError("cannot read " + Shown(path) + ": " + std::strerror(errno));
    std::vector<uint8_t> bytes(static_cast<size_t>(std::min(limit, fileSize)));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!in)
        throw CPackError("cannot read " + Shown(path));
    return bytes;
}

plcore::PeResourceData RequireRcData(const CPeImage& pe, const std::string& name,
                                     const fs::path& stub)
{
    const auto data = pe.FindResourceData({CPeImage::kTypeRcData, {}}, {0, Ascii16(name)});
    if (!data)
        throw CPackError(Shown(stub) + " has no RCDATA resource " + name + ": not a setup stub");
    return *data;
}

void Patch(std::vector<uint8_t>& image, const plcore::PeResourceData& where, std::string_view bytes)
{
    std::fill_n(image.begin() + static_cast<ptrdiff_t>(where.fileOffset), where.size, 0);
    std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<ptrdiff_t>(where.fileOffset));
}

void PatchCulture(std::vector<uint8_t>& image, const CPeImage& pe, const std::string& culture,
                  const fs::path& stub)
{
    const auto data = pe.FindResourceData({CPeImage::kTypeVersion, {}}, {1, {}});
    plcore::CVersionBlock block;
    const std::span<const uint8_t> bytes =
        data ? std::span<const uint8_t>(image).subspan(data->fileOffset, data->size)
             : std::span<const uint8_t>();
    if (!data || !block.Parse(bytes))
        throw CPackError(Shown(stub) + " has no version block: not a setup stub");
    const auto value = block.FindString(block.Translation(), u"PL_Culture");
    if (!value)
        throw CPackError(Shown(stub) + " has no PL_Culture in its version block");
    if (culture.size() + 1 > value->capacity)
        throw CPackError("culture \"" + culture + "\" does not fit: the stub has room for " +
                         std::to_string(value->capacity - 1) + " characters");
    uint8_t* p = image.data() + data->fileOffset + value->valueOffset;
    for (size_t i = 0; i < value->capacity; ++i)
        plcore::WriteLe16(p + 2 * i, i < culture.size() ? static_cast<uint16_t>(culture[i]) : 0);
}

struct PayloadItem
{
    fs::path source;
    std::string name; // stored name, "/" separated
    bool folder = false;
    uint64_t size = 0;
};

std::string NameProblem(const std::string& name)
{
    std::u16string wide;
    if (!plcore::DecodeUtf8(name, wide))
        return "it is not valid UTF-8";
    if (name.size() > plcore::kMaxEntryNameBytes)
        return "it is longer than " + std::to_string(plcore::kMaxEntryNameBytes) + " bytes";
    if (!plcore::IsSafeEntryName(wide))
        return "it would be written outside the extraction folder or under another name "
               "(absolute, drive, \":\", \"..\", device name, or a trailing dot or blank)";
    return {};
}

std::vector<PayloadItem> CollectPayload(const fs::path& root)
{
    std::error_code ec;
    if (!fs::is_directory(root, ec))
        throw CPackError("payload " + Shown(root) + " is not a readable folder");
    std::vector<PayloadItem> items;
    fs::recursive_directory_iterator it(root, fs::directory_options::none, ec);
    if (ec)
        throw CPackError("cannot read payload " + Shown(root) + ": " + ec.message());
    for (; it != fs::recursive_directory_iterator(); it.increment(ec))
    {
        if (ec)
            break;
        PayloadItem item;
        item.source = it->path();
        const std::u8string utf8 = fs::relative(it->path(), root, ec).generic_u8string();
        item.name.assign(utf8.begin(), utf8.end());
        if (ec)
            break;
        item.folder = it->is_directory(ec);
        if (item.folder)
        {
            item.name += '/';
        }
        else if (it->is_regular_file(ec))
        {
            item.size = it->file_size(ec);
        }
        else
        {
            throw CPackError("payload entry " + item.name + " is not a file or folder");
        }
        if (ec)
            break;
        const std::string problem = NameProblem(item.name);
        if (!problem.empty())
            throw CPackError("payload entry \"" + item.name +
                             "\" would be refused by the stub: " + problem);
        items.push_back(std::move(item));
    }
    if (ec)
        throw CPackError("cannot read payload " + Shown(root) + ": " + ec.message());
    std::sort(items.begin(), items.end(),
              [](const PayloadItem& a, const PayloadItem& b) { return a.name < b.name; });
    // Windows names ignore letter case: two such entries would be extracted as one file, and a
    // file beside a folder of the same name cannot be created at all.
    std::map<std::u16string, const PayloadItem*> folded;
    for (const PayloadItem& item : items)
    {
        const std::u16string key = FoldedForWindows(
            item.folder ? std::string_view(item.name).substr(0, item.name.size() - 1) : item.name);
        const auto [at, inserted] = folded.emplace(key, &item);
        if (!inserted)
            throw CPackError("payload entries \"" + at->second->name + "\" and \"" + item.name +
                             "\" differ only in letter case: Windows would extract them as one");
    }
    return items;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char x, char y)
                      {
                          auto up = [](char c)
                          { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; };
                          auto sep = [](char c) { return c == '\\' ? '/' : c; };
                          return up(sep(x)) == up(sep(y));
                      });
}

uint32_t DosTimeOf(const fs::path& path)
{
    std::error_code ec;
    const fs::file_time_type written = fs::last_write_time(path, ec);
    if (ec)
        return ToDosDateTime(1980, 1, 1, 0, 0, 0);
    const std::time_t t =
        std::chrono::system_clock::to_time_t(std::chrono::file_clock::to_sys(written));
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &t);
#else
    localtime_r(&t, &local);
#endif
    return ToDosDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                         local.tm_min, local.tm_sec);
}

// The PE image checksum of the whole file: 16-bit words summed with end-around carry, the
// checksum field itself read as zero, plus the file's length.
uint32_t PeChecksum(std::FILE* file, uint64_t checksumField, uint64_t size)
{
    if (Seek(file, 0) != 0)
        throw CPackError("cannot read back the setup file: " + std::string(std::strerror(errno)));
    std::vector<uint8_t> chunk(1 << 20);
    uint64_t sum = 0;
    uint64_t at = 0;
    while (at < size)
    {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(chunk.size(), size - at));
        if (std::fread(chunk.data(), 1, n, file) != n)
            throw CPackError("cannot read back the setup file");
        for (size_t i = 0; i < n; i += 2)
        {
            const uint64_t offset = at + i;
            if (offset >= checksumField && offset < checksumField + 4)
                continue;
            sum += chunk[i] | (i + 1 < n ? chunk[i + 1] << 8 : 0);
            sum = (sum & 0xFFFF) + (sum >> 16);
        }
        at += n;
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<uint32_t>(sum + size);
}

void WritePayload(std::FILE* out, const std::vector<PayloadItem>& items)
{
    CZipWriter zip(out);
    for (const PayloadItem& item : items)
    {
        ZipEntryOptions options;
        options.dosDateTime = DosTimeOf(item.source);
        options.utf8 = !std::all_of(item.name.begin(), item.name.end(),
                                    [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        bool ok = false;
        if (item.folder)
        {
            ok = zip.AddFolder(item.name, options);
        }
        else
        {
            FilePtr in = OpenFile(item.source, "rb");
            if (!in)
                throw CPackError("cannot read payload file " + Shown(item.source) + ": " +
                                 std::strerror(errno));
            ok = zip.AddFile(item.name, in.get(), item.size, options);
            if (ok && std::ferror(in.get()))
                throw CPackError("cannot read payload file " + Shown(item.source));
        }
        if (!ok)
            throw CPackError("cannot write the setup file: " + std::string(std::strerror(errno)));
    }
    if (!zip.Finish())
        throw CPackError("cannot write the setup file: " + std::string(std::strerror(errno)));
}

} // namespace

uint64_t Pack(const PackOptions& options)
{
    uint64_t stubSize = 0;
    std::vector<uint8_t> image = ReadHead(options.stub, UINT64_MAX, stubSize);
    CPeImage pe;
    if (pe.Parse(image) != plcore::PeError::None || pe.Machine() != kMachineI386)
        throw CPackError(Shown(options.stub) + " is not a PE32 i386 image");
    if (pe.DataDirectory(CPeImage::kDirectorySecurity).address != 0)
        throw CPackError(Shown(options.stub) +
                         " is signed: pack the unsigned stub and sign the finished setup file");
    const auto verify = RequireRcData(pe, "_PLN_VERIFY", options.stub);
    const auto setupInfo = RequireRcData(pe, "_PLN_SETUPINFO", options.stub);
    if (verify.size != 8)
        throw CPackError(Shown(options.stub) + ": _PLN_VERIFY is not 8 bytes long");

    // The archive starts where the image's last section ends: anything after it (a symbol
    // table, an earlier payload) is dropped.
    const uint64_t imageEnd = pe.ImageEnd();
    if (imageEnd > image.size())
        throw CPackError(Shown(options.stub) + " is truncated: its sections end beyond it");
    const uint32_t symbols = plcore::ReadLe32(image.data() + pe.PeOffset() + 4 + 8);
    if (symbols >= imageEnd)
        std::fill_n(image.begin() + pe.PeOffset() + 4 + 8, 8, 0);

    std::string setupInfoPath = options.setupInfo;
    std::replace(setupInfoPath.begin(), setupInfoPath.end(), '/', '\\');
    if (!setupInfoPath.empty())
    {
        if (!IsAscii(setupInfoPath) || setupInfoPath.size() + 1 > setupInfo.size)
            throw CPackError("setup-information path \"" + options.setupInfo +
                             "\" must be ASCII text of at most " +
                             std::to_string(setupInfo.size - 1) + " characters");
        Patch(image, setupInfo, setupInfoPath);
    }
    if (!options.culture.empty())
    {
        if (!IsAscii(options.culture))
            throw CPackError("culture \"" + options.culture + "\" must be ASCII");
        PatchCulture(image, pe, options.culture, options.stub);
    }
    for (const auto& [name, text] : options.values)
    {
        if (!name.starts_with("PLN"))
            throw CPackError("--value " + name + ": only resources named PLN... are forwarded");
        const auto names = pe.ResourceNames({CPeImage::kTypeRcData, {}});
        const bool exists =
            std::any_of(names.begin(), names.end(),
                        [&](const PeResourceKey& k) { return Narrow(k.name) == name; });
        if (!exists)
            throw CPackError("--value " + name + ": the stub has no resource of that name");
        const auto where = RequireRcData(pe, name, options.stub);
        if (text.size() > where.size)
            throw CPackError("--value " + name + ": the text does not fit into its " +
                             std::to_string(where.size) + " bytes");
        Patch(image, where, text);
    }

    std::vector<PayloadItem> items = CollectPayload(options.payload);
    const std::string wanted = setupInfoPath.empty() ? kDefaultSetupInfo : setupInfoPath;
    auto first = std::find_if(items.begin(), items.end(),
                              [&](const PayloadItem& i)
                              { return !i.folder && EqualsIgnoringCase(i.name, wanted); });
    if (first == items.end() && !setupInfoPath.empty())
        throw CPackError("setup-information file \"" + options.setupInfo +
                         "\" is not in the payload");
    if (first != items.end())
        std::rotate(items.begin(), first, first + 1);

    // Written beside the target and renamed at the end, so a failure leaves no broken file.
    fs::path temporary = options.output;
    temporary += ".part";
    FilePtr out = OpenFile(temporary, "wb+");
    if (!out)
        throw CPackError("cannot create " + Shown(temporary) + ": " + std::strerror(errno));
    uint64_t size = 0;
    try
    {
        const size_t head = static_cast<size_t>(imageEnd);
        if (std::fwrite(image.data(), 1, head, out.get()) != head)
            throw CPackError("cannot write the setup file: " + std::string(std::strerror(errno)));
        WritePayload(out.get(), items);
        size = Tell(out.get());
        uint8_t recorded[8];
        plcore::WriteLe64(recorded, size);
        if (Seek(out.get(), verify.fileOffset) != 0 ||
            std::fwrite(recorded, 1, 8, out.get()) != 8 || std::fflush(out.get()) != 0)
            throw CPackError("cannot write the setup file: " + std::string(std::strerror(errno)));
        // The image's checksum covers the whole file, so it is made last.
        const uint64_t checksumField = uint64_t{pe.PeOffset()} + CPeImage::kCheckSumField;
        uint8_t checksum[4];
        plcore::WriteLe32(checksum, PeChecksum(out.get(), checksumField, size));
        if (Seek(out.get(), checksumField) != 0 || std::fwrite(checksum, 1, 4, out.get()) != 4 ||
            std::fflush(out.get()) != 0)
            throw CPackError("cannot write the setup file: " + std::string(std::strerror(errno)));
        out.reset();
        std::error_code ec;
        fs::rename(temporary, options.output, ec);
        if (ec)
            throw CPackError("cannot create " + Shown(options.output) + ": " + ec.message());
    }
    catch (...)
    {
        out.reset();
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throw;
    }
    return size;
}

std::string Verify(const fs::path& file)
{
    uint64_t fileSize = 0;
    std::vector<uint8_t> head;
    try
    {
        head = ReadHead(file, plcore::kSetupHeadBytes, fileSize);
    }
    catch (const CPackError&)
    {
        return std::string(kTextCannotRead) + " (" + std::to_string(errno) + ")";
    }
    const plcore::SetupHeaders headers = plcore::ReadSetupHeaders(head);
    if (const char* fault = plcore::SetupHeaderErrorText(headers.error))
        return fault;
    uint64_t expected = 0;
    if (headers.IsSigned())
    {
        expected = headers.SignedFileSize();
    }
    else
    {
        // The resource is looked up in the whole image, as the system's loader would.
        CPeImage pe;
        std::optional<plcore::PeResourceData> verify;
        if (pe.Parse(head) == plcore::PeError::None && pe.ImageEnd() > head.size())
        {
            head = ReadHead(file, pe.ImageEnd(), fileSize);
            pe.Parse(head);
        }
        verify = pe.FindResourceData({CPeImage::kTypeRcData, {}}, {0, u"_PLN_VERIFY"});
        if (!verify || verify->size != 8)
            return plcore::kTextNoVerifyResource;
        expected = plcore::ReadLe64(head.data() + verify->fileOffset);
    }
    if (expected == fileSize)
        return {};
    return std::string(kTextCorrupted) +
           "\n\nExpected file size: " + std::to_string(static_cast<int64_t>(expected)) +
           "\nActual file size: " + std::to_string(static_cast<int64_t>(fileSize)) + ".";
}

std::vector<ListedEntry> List(const fs::path& file)
{
#ifdef _WIN32
    zlib_filefunc64_def functions;
    fill_win32_filefunc64W(&functions);
    unzFile zip = unzOpen2_64(file.c_str(), &functions);
#else
    unzFile zip = unzOpen64(file.c_str());
#endif
    if (zip == nullptr)
        throw CPackError(Shown(file) + " holds no readable archive");
    std::vector<ListedEntry> entries;
    // minizip does not answer "end of list" for an archive without entries.
    unz_global_info64 global{};
    if (unzGetGlobalInfo64(zip, &global) == UNZ_OK && global.number_entry == 0)
    {
        unzClose(zip);
        return entries;
    }
    int rc = unzGoToFirstFile(zip);
    while (rc == UNZ_OK)
    {
        unz_file_info64 info{};
        char name[65536];
        rc = unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0);
        if (rc != UNZ_OK)
            break;
        entries.push_back(
            {name, info.compressed_size, info.uncompressed_size, static_cast<uint32_t>(info.flag)});
        rc = unzGoToNextFile(zip);
    }
    unzClose(zip);
    if (rc != UNZ_END_OF_LIST_OF_FILE)
        throw CPackError(Shown(file) + ": damaged archive (" + std::to_string(rc) + ")");
    return entries;
}

} // namespace sfxpack
