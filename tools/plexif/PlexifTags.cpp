#include "PlexifTags.h"

#include <cctype>

namespace plexif
{

namespace
{

const STagName kTags[kTagCount] = {
    {"ImageWidth", 0x0100, 0, 4},
    {"ImageLength", 0x0101, 0, 4},
    {"Compression", 0x0103, 0, 3},
    {"PhotometricInterpretation", 0x0106, 0, 3},
    {"ImageDescription", 0x010E, 0, 2},
    {"Make", 0x010F, 0, 2},
    {"Model", 0x0110, 0, 2},
    {"Orientation", 0x0112, 0, 3},
    {"SamplesPerPixel", 0x0115, 0, 3},
    {"XResolution", 0x011A, 0, 5},
    {"YResolution", 0x011B, 0, 5},
    {"PlanarConfiguration", 0x011C, 0, 3},
    {"ResolutionUnit", 0x0128, 0, 3},
    {"Software", 0x0131, 0, 2},
    {"DateTime", 0x0132, 0, 2},
    {"Artist", 0x013B, 0, 2},
    {"Copyright", 0x8298, 0, 2},
    {"JPEGInterchangeFormat", 0x0201, 4, 4},
    {"JPEGInterchangeFormatLength", 0x0202, 4, 4},
    {"YCbCrPositioning", 0x0213, 0, 3},
    {"ExifIFDPointer", 0x8769, 0, 4},
    {"GPSInfoIFDPointer", 0x8825, 0, 4},
    {"InteroperabilityIFDPointer", 0xA005, 2, 4},
    {"ExposureTime", 0x829A, 2, 5},
    {"FNumber", 0x829D, 2, 5},
    {"ExposureProgram", 0x8822, 2, 3},
    {"SpectralSensitivity", 0x8824, 2, 2},
    {"ISOSpeedRatings", 0x8827, 2, 3},
    {"DateTimeOriginal", 0x9003, 2, 2},
    {"DateTimeDigitized", 0x9004, 2, 2},
    {"CompressedBitsPerPixel", 0x9102, 2, 5},
    {"ShutterSpeedValue", 0x9201, 2, 10},
    {"ApertureValue", 0x9202, 2, 5},
    {"BrightnessValue", 0x9203, 2, 10},
    {"ExposureBiasValue", 0x9204, 2, 10},
    {"MaxApertureValue", 0x9205, 2, 5},
    {"MeteringMode", 0x9207, 2, 3},
    {"LightSource", 0x9208, 2, 3},
    {"Flash", 0x9209, 2, 3},
    {"FocalLength", 0x920A, 2, 5},
    {"UserComment", 0x9286, 2, 7},
    {"SubSecTime", 0x9290, 2, 2},
    {"SubSecTimeOriginal", 0x9291, 2, 2},
    {"SubSecTimeDigitized", 0x9292, 2, 2},
    {"ColorSpace", 0xA001, 2, 3},
    {"PixelXDimension", 0xA002, 2, 4},
    {"PixelYDimension", 0xA003, 2, 4},
    {"FlashEnergy", 0xA20B, 2, 5},
    {"FocalPlaneXResolution", 0xA20E, 2, 5},
    {"FocalPlaneYResolution", 0xA20F, 2, 5},
    {"FocalPlaneResolutionUnit", 0xA210, 2, 3},
    {"ExposureIndex", 0xA215, 2, 5},
    {"SensingMethod", 0xA217, 2, 3},
    {"FocalLengthIn35mmFilm", 0xA405, 0, 3},
    {"GPSVersionID", 0x0000, 1, 1},
    {"GPSLatitudeRef", 0x0001, 1, 2},
    {"GPSLatitude", 0x0002, 1, 5},
    {"GPSLongitudeRef", 0x0003, 1, 2},
    {"GPSLongitude", 0x0004, 1, 5},
    {"GPSAltitudeRef", 0x0005, 1, 1},
    {"GPSAltitude", 0x0006, 1, 5},
    {"GPSTimeStamp", 0x0007, 1, 5},
    {"GPSSatellites", 0x0008, 1, 2},
    {"GPSStatus", 0x0009, 1, 2},
    {"GPSMeasureMode", 0x000A, 1, 2},
    {"GPSDOP", 0x000B, 1, 5},
    {"GPSSpeedRef", 0x000C, 1, 2},
    {"GPSSpeed", 0x000D, 1, 5},
    {"GPSTrackRef", 0x000E, 1, 2},
    {"GPSTrack", 0x000F, 1, 5},
    {"GPSImgDirectionRef", 0x0010, 1, 2},
    {"GPSImgDirection", 0x0011, 1, 5},
    {"GPSMapDatum", 0x0012, 1, 2},
    {"GPSDestLatitudeRef", 0x0013, 1, 2},
    {"GPSDestLatitude", 0x0014, 1, 5},
    {"GPSDestLongitudeRef", 0x0015, 1, 2},
    {"GPSDestLongitude", 0x0016, 1, 5},
    {"GPSDestBearingRef", 0x0017, 1, 2},
    {"GPSDestBearing", 0x0018, 1, 5},
    {"GPSDestDistanceRef", 0x0019, 1, 2},
    {"GPSDestDistance", 0x001A, 1, 5},
    {"GPSProcessingMethod", 0x001B, 1, 7},
    {"GPSAreaInformation", 0x001C, 1, 7},
    {"GPSDateStamp", 0x001D, 1, 2},
    {"GPSDifferential", 0x001E, 1, 3},
    {"InteroperabilityIndex", 0x0001, 3, 2},
};

bool SameName(const char* a, const std::string& b, size_t from)
{
    size_t i = 0;
    for (; a[i] && from + i < b.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[from + i])))
            return false;
    return !a[i] && from + i == b.size();
}

} // namespace

const STagName& TagName(unsigned id)
{
    return kTags[id < kTagCount ? id : 0];
}

int FindTagId(const std::string& name)
{
    const size_t from = name.size() > 4 && SameName("etag", name.substr(0, 4), 0) ? 4 : 0;
    for (unsigned id = 0; id < kTagCount; ++id)
        if (SameName(kTags[id].pszName, name, from))
            return static_cast<int>(id);
    return -1;
}

int FindTagId(unsigned directory, uint16_t tag)
{
    for (unsigned id = 0; id < kTagCount; ++id)
        if (kTags[id].nDirectory == directory && kTags[id].wTag == tag)
            return static_cast<int>(id);
    return -1;
}

const char* DirectoryName(unsigned directory)
{
    static const char* const kNames[eDirCount] = {"IFD0", "GPS", "Exif", "Interop", "IFD1"};
    return directory < eDirCount ? kNames[directory] : "?";
}

const char* TypeName(unsigned type)
{
    static const char* const kNames[] = {"?",         "BYTE",  "ASCII",     "SHORT",  "LONG",
                                         "RATIONAL",  "SBYTE", "UNDEFINED", "SSHORT", "SLONG",
                                         "SRATIONAL", "FLOAT", "DOUBLE"};
    return type < sizeof kNames / sizeof kNames[0] ? kNames[type] : "?";
}

} // namespace plexif
