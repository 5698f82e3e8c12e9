// Fuzz target: the PE, resource-tree and version-block readers and the entry-name checks, over
// untrusted bytes (what a setup file or its archive could hold).
#include "plcore/EntryName.h"
#include "plcore/PeImage.h"
#include "plcore/SetupHeaders.h"
#include "plcore/VersionBlock.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> bytes(data, size);
    plcore::ReadSetupHeaders(bytes);

    plcore::CPeImage pe;
    if (pe.Parse(bytes) == plcore::PeError::None)
    {
        for (const plcore::PeResourceKey& key : pe.ResourceNames({10, {}}))
            pe.FindResourceData({10, {}}, key);
        if (const auto version = pe.FindResourceData({16, {}}, {1, {}}))
        {
            plcore::CVersionBlock block;
            if (block.Parse(bytes.subspan(version->fileOffset, version->size)))
                block.FindString(block.Translation(), u"PL_Culture");
        }
    }

    // The same bytes as a bare version block and as an entry name.
    plcore::CVersionBlock block;
    if (block.Parse(bytes))
        block.FindString(block.Translation(), u"PL_Culture");
    std::u16string name;
    if (plcore::DecodeUtf8(std::string(reinterpret_cast<const char*>(data), size), name))
        plcore::IsSafeEntryName(name);
    return 0;
}
