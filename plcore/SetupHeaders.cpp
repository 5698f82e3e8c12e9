#include "plcore/SetupHeaders.h"

#include "plcore/ByteOrder.h"
#include "plcore/PeImage.h"

namespace plcore
{

SetupHeaders ReadSetupHeaders(std::span<const uint8_t> head)
{
    SetupHeaders h;
    if (head.size() < 2 || head[0] != 'M' || head[1] != 'Z')
    {
        h.error = SetupHeaderError::NotExe;
        return h;
    }
    const uint64_t pe = head.size() >= 64 ? ReadLe32(head.data() + 60) : head.size();
    const uint64_t directory = pe + CPeImage::kSecurityDirectoryField;
    if (!InRange(head.size(), pe, 4) || ReadLe32(head.data() + pe) != 0x00004550 ||
        !InRange(head.size(), directory, 8))
    {
        h.error = SetupHeaderError::BadPeSignature;
        return h;
    }
    h.certificateOffset = ReadLe32(head.data() + directory);
    h.certificateSize = ReadLe32(head.data() + directory + 4);
    return h;
}

const char* SetupHeaderErrorText(SetupHeaderError error)
{
    switch (error)
    {
    case SetupHeaderError::NotExe:
        return kTextNotExe;
    case SetupHeaderError::BadPeSignature:
        return kTextBadPeSignature;
    default:
        return nullptr;
    }
}

} // namespace plcore
