#include "tools/sfxpack/ZipWriter.h"

#include "plcore/ByteOrder.h"
#include "plcore/EntryName.h"
#include "tools/sfxpack/FileIo.h"

#include <zlib.h>

#include <algorithm>

namespace sfxpack
{
namespace
{

using plcore::WriteLe16;
using plcore::WriteLe32;
using plcore::WriteLe64;

constexpr uint32_t kMax32 = 0xFFFFFFFFu;
constexpr size_t kChunk = 65536;
// Deflate never grows data by more than this; beyond it the local header needs Zip64 sizes.
constexpr uint64_t kZip64LocalThreshold = 0xFFFF0000u;

} // namespace

uint32_t ToDosDateTime(int year, int month, int day, int hour, int minute, int second)
{
    if (year < 1980)
        return 0x00210000;
    year = std::min(year, 2107);
    const uint32_t date = ((year - 1980) << 9) | (month << 5) | day;
    const uint32_t time = (hour << 11) | (minute << 5) | (second / 2);
    return (date << 16) | time;
}

CZipWriter::CZipWriter(std::FILE* file) : m_file(file)
{
    SeekToEnd(m_file);
    m_nPosition = Tell(m_file);
}

bool CZipWriter::Write(const void* data, size_t size)
{
    if (size != 0 && std::fwrite(data, 1, size, m_file) != size)
        return false;
    m_nPosition += size;
    return true;
}

bool CZipWriter::WriteLocalHeader(Entry& entry)
{
    entry.localHeaderOffset = m_nPosition;
    std::vector<uint8_t> h(30 + entry.name.size() + (entry.zip64Local ? 20 : 0));
    WriteLe32(&h[0], 0x04034b50);
    WriteLe16(&h[4], entry.zip64Local ? 45 : 20);
    WriteLe16(&h[6], entry.flags);
    WriteLe16(&h[8], entry.method);
    WriteLe32(&h[10], entry.dosDateTime);
    // CRC and sizes are filled in by FixLocalHeader once the data is written.
    WriteLe16(&h[26], static_cast<uint16_t>(entry.name.size()));
    WriteLe16(&h[28], entry.zip64Local ? 20 : 0);
    std::copy(entry.name.begin(), entry.name.end(), h.begin() + 30);
    if (entry.zip64Local)
    {
        uint8_t* x = &h[30 + entry.name.size()];
        WriteLe16(x, 0x0001);
        WriteLe16(x + 2, 16);
    }
    return Write(h.data(), h.size());
}

bool CZipWriter::FixLocalHeader(const Entry& entry)
{
    uint8_t fields[12];
    WriteLe32(fields, entry.crc);
    WriteLe32(fields + 4, entry.zip64Local ? kMax32 : static_cast<uint32_t>(entry.compressedSize));
    WriteLe32(fields + 8,
              entry.zip64Local ? kMax32 : static_cast<uint32_t>(entry.uncompressedSize));
    if (Seek(m_file, entry.localHeaderOffset + 14) != 0 || std::fwrite(fields, 1, 12, m_file) != 12)
        return false;
    if (entry.zip64Local)
    {
        uint8_t sizes[16];
        WriteLe64(sizes, entry.uncompressedSize);
        WriteLe64(sizes + 8, entry.compressedSize);
        if (Seek(m_file, entry.localHeaderOffset + 30 + entry.name.size() + 4) != 0 ||
            std::fwrite(sizes, 1, 16, m_file) != 16)
            return false;
    }
    return Seek(m_file, m_nPosition) == 0;
}

bool CZipWriter::Deflate(Entry& entry, std::FILE* source, const std::string* data, uint64_t size)
{
    z_stream z{};
    if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    std::vector<uint8_t> in(kChunk);
    std::vector<uint8_t> out(kChunk);
    uLong crc = crc32(0, nullptr, 0);
    uint64_t done = 0;
    bool ok = true;
    int flush = Z_NO_FLUSH;
    while (ok && flush != Z_FINISH)
    {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(kChunk, size - done));
        if (data != nullptr)
            std::copy_n(data->data() + done, n, in.begin());
        else if (n != 0 && std::fread(in.data(), 1, n, source) != n)
            ok = false;
        done += n;
        crc = crc32(crc, in.data(), static_cast<uInt>(n));
        flush = done == size ? Z_FINISH : Z_NO_FLUSH;
        z.next_in = in.data();
        z.avail_in = static_cast<uInt>(n);
        do
        {
            z.next_out = out.data();
            z.avail_out = static_cast<uInt>(out.size());
            if (deflate(&z, flush) == Z_STREAM_ERROR)
                ok = false;
            const size_t produced = out.size() - z.avail_out;
            ok = ok && Write(out.data(), produced);
            entry.compressedSize += produced;
        } while (ok && z.avail_out == 0);
    }
    deflateEnd(&z);
    entry.crc = static_cast<uint32_t>(crc);
    entry.uncompressedSize = size;
    return ok;
}

bool CZipWriter::AddFolder(const std::string& name, const ZipEntryOptions& options)
{
    Entry e;
    e.name = name;
    e.flags = options.utf8 ? plcore::kZipFlagUtf8 : 0;
    e.dosDateTime = options.dosDateTime;
    e.externalAttributes = 0x10;
    if (!WriteLocalHeader(e) || !FixLocalHeader(e))
        return false;
    m_entries.push_back(std::move(e));
    return true;
}

bool CZipWriter::AddDeflated(const std::string& name, std::FILE* source, const std::string* data,
                             uint64_t size, const ZipEntryOptions& options)
{
    Entry e;
    e.name = name;
    e.flags = options.utf8 ? plcore::kZipFlagUtf8 : 0;
    e.method = Z_DEFLATED;
    e.dosDateTime = options.dosDateTime;
    e.externalAttributes = 0x20;
    e.zip64Local = size >= kZip64LocalThreshold;
    if (!WriteLocalHeader(e) || !Deflate(e, source, data, size) || !FixLocalHeader(e))
        return false;
    m_entries.push_back(std::move(e));
    return true;
}

bool CZipWriter::AddFile(const std::string& name, std::FILE* source, uint64_t size,
                         const ZipEntryOptions& options)
{
    return AddDeflated(name, source, nullptr, size, options);
}

bool CZipWriter::AddData(const std::string& name, const std::string& data,
                         const ZipEntryOptions& options)
{
    return AddDeflated(name, nullptr, &data, data.size(), options);
}

bool CZipWriter::Finish()
{
    const uint64_t directoryOffset = m_nPosition;
    for (const Entry& e : m_entries)
    {
        // Zip64 extra: only the fields whose 32-bit slot is saturated, in this order.
        std::vector<uint8_t> extra;
        auto add64 = [&extra](uint64_t v)
        {
            uint8_t b[8];
            WriteLe64(b, v);
            extra.insert(extra.end(), b, b + 8);
        };
        const bool bigU = e.uncompressedSize >= kMax32;
        const bool bigC = e.compressedSize >= kMax32;
        const bool bigO = e.localHeaderOffset >= kMax32;
        if (bigU)
            add64(e.uncompressedSize);
        if (bigC)
            add64(e.compressedSize);
        if (bigO)
            add64(e.localHeaderOffset);
        if (!extra.empty())
        {
            uint8_t head[4];
            WriteLe16(head, 0x0001);
            WriteLe16(head + 2, static_cast<uint16_t>(extra.size()));
            extra.insert(extra.begin(), head, head + 4);
        }
        const uint16_t version = extra.empty() && !e.zip64Local ? 20 : 45;
        std::vector<uint8_t> h(46);
        WriteLe32(&h[0], 0x02014b50);
        WriteLe16(&h[4], version); // made by MS-DOS
        WriteLe16(&h[6], version);
        WriteLe16(&h[8], e.flags);
        WriteLe16(&h[10], e.method);
        WriteLe32(&h[12], e.dosDateTime);
        WriteLe32(&h[16], e.crc);
        WriteLe32(&h[20], bigC ? kMax32 : static_cast<uint32_t>(e.compressedSize));
        WriteLe32(&h[24], bigU ? kMax32 : static_cast<uint32_t>(e.uncompressedSize));
        WriteLe16(&h[28], static_cast<uint16_t>(e.name.size()));
        WriteLe16(&h[30], static_cast<uint16_t>(extra.size()));
        WriteLe32(&h[38], e.externalAttributes);
        WriteLe32(&h[42], bigO ? kMax32 : static_cast<uint32_t>(e.localHeaderOffset));
        if (!Write(h.data(), h.size()) || !Write(e.name.data(), e.name.size()) ||
            !Write(extra.data(), extra.size()))
            return false;
    }
    const uint64_t directorySize = m_nPosition - directoryOffset;
    const uint64_t count = m_entries.size();
    const bool zip64 = count >= 0xFFFF || directoryOffset >= kMax32 || directorySize >= kMax32;
    if (zip64)
    {
        const uint64_t recordOffset = m_nPosition;
        uint8_t r[56 + 20] = {};
        WriteLe32(r, 0x06064b50);
        WriteLe64(r + 4, 44);
        WriteLe16(r + 12, 45);
        WriteLe16(r + 14, 45);
        WriteLe64(r + 24, count);
        WriteLe64(r + 32, count);
        WriteLe64(r + 40, directorySize);
        WriteLe64(r + 48, directoryOffset);
        uint8_t* locator = r + 56;
        WriteLe32(locator, 0x07064b50);
        WriteLe64(locator + 8, recordOffset);
        WriteLe32(locator + 16, 1);
        if (!Write(r, sizeof r))
            return false;
    }
    uint8_t end[22] = {};
    WriteLe32(end, 0x06054b50);
    WriteLe16(end + 8, zip64 ? 0xFFFF : static_cast<uint16_t>(count));
    WriteLe16(end + 10, zip64 ? 0xFFFF : static_cast<uint16_t>(count));
    WriteLe32(end + 12, zip64 ? kMax32 : static_cast<uint32_t>(directorySize));
    WriteLe32(end + 16, zip64 ? kMax32 : static_cast<uint32_t>(directoryOffset));
    return Write(end, sizeof end) && std::fflush(m_file) == 0;
}

} // namespace sfxpack
