// exiv2-dump FILE: the EXIF tags of a JPEG as exiv2 reads them, as JSON (directory, tag number,
// TIFF type, count and the raw bytes in the file's byte order). The oracle that the plexif
// tests compare the library's readings with.
#include <exiv2/exiv2.hpp>

#include <cstdio>
#include <map>
#include <string>

namespace
{

const char* Directory(const std::string& group)
{
    static const std::map<std::string, const char*> kGroups = {{"Image", "IFD0"},
                                                               {"Photo", "Exif"},
                                                               {"GPSInfo", "GPS"},
                                                               {"Iop", "Interop"},
                                                               {"Thumbnail", "IFD1"}};
    auto it = kGroups.find(group);
    return it == kGroups.end() ? nullptr : it->second;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: exiv2-dump FILE\n");
        return 2;
    }
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
    try
    {
        auto image = Exiv2::ImageFactory::open(argv[1]);
        image->readMetadata();
        const Exiv2::ExifData& exif = image->exifData();
        const Exiv2::ByteOrder order = exif.empty() ? Exiv2::littleEndian : image->byteOrder();
        std::printf("{\"byteOrder\":\"%s\",\"tags\":[", order == Exiv2::bigEndian ? "MM" : "II");
        bool first = true;
        for (const auto& md : exif)
        {
            const char* dir = Directory(md.groupName());
            if (!dir)
                continue;
            Exiv2::DataBuf buf(static_cast<long>(md.size()));
            md.copy(buf.pData_, order);
            std::string hex;
            static const char kDigits[] = "0123456789abcdef";
            for (long i = 0; i < buf.size_; ++i)
            {
                hex += kDigits[buf.pData_[i] >> 4];
                hex += kDigits[buf.pData_[i] & 15];
            }
            std::printf("%s{\"ifd\":\"%s\",\"tag\":%u,\"type\":%d,\"count\":%ld,\"raw\":\"%s\"}",
                        first ? "" : ",", dir, md.tag(), static_cast<int>(md.typeId()),
                        static_cast<long>(md.count()), hex.c_str());
            first = false;
        }
        std::printf("]}\n");
        return 0;
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "exiv2-dump: %s\n", e.what());
        return 1;
    }
}
