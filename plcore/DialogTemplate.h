// Rewriting the font of a dialog template resource (DLGTEMPLATE or DLGTEMPLATEEX), so a dialog can
// be created with another face and point size. Pure byte work on a copy: any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace plcore
{

// Returns a copy of the template with the given face and point size (the font style flag set),
// or nothing when the bytes are not a well-formed template.
std::optional<std::vector<uint8_t>>
ReplaceDialogFont(const uint8_t* data, size_t size, const std::u16string& face, uint16_t pointSize);

} // namespace plcore
