// The part of a setup file's headers that its self-check reads: the DOS and PE signatures and the
// security directory. Shared by the stub and the packaging tool. Pure function; any thread.
#pragma once

#include <cstdint>
#include <span>

namespace plcore
{

// Size of the head of the file that the check maps; the headers must lie inside it.
constexpr uint32_t kSetupHeadBytes = 1048576;

enum class SetupHeaderError
{
    None,
    NotExe,         // "File does not have EXE format."
    BadPeSignature, // "Invalid PE signature." (also when the headers lie beyond `head`)
};

struct SetupHeaders
{
    SetupHeaderError error = SetupHeaderError::None;
    uint32_t certificateOffset = 0; // 0 when the file is not signed
    uint32_t certificateSize = 0;

    bool IsSigned() const { return certificateOffset != 0; }
    // Where a signed file must end: computed in 32 bits, as Windows stores the directory.
    uint64_t SignedFileSize() const
    {
        return static_cast<uint32_t>(certificateOffset + certificateSize);
    }
};

SetupHeaders ReadSetupHeaders(std::span<const uint8_t> head);

// The fixed English texts of the check's format faults (the size messages are localized).
constexpr char kTextNotExe[] = "File does not have EXE format.";
constexpr char kTextBadPeSignature[] = "Invalid PE signature.";
constexpr char kTextNoVerifyResource[] = "Resource _PLN_VERIFY is not found.";

// kTextNotExe or kTextBadPeSignature for a format fault; null for SetupHeaderError::None.
const char* SetupHeaderErrorText(SetupHeaderError error);

} // namespace plcore
