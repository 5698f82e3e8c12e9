// libFuzzer entry point of fuzz_exif (built by fuzz/exif/run with clang).
#include "FuzzExifRead.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzExifRead(data, size);
    return 0;
}
