// modGetICON and the icon step of the refresh: one image per distinct
// executable path in the image list, shared by every row of that path.
#pragma once

#include <optional>
#include <string>

#include "platform/icons.h"

namespace kelvar {

// Fetches the small icon of `path`, adds it to `images` under the path (a
// second picture for a path already there is released), and answers the image
// key the new row should show, or nullopt when the list has no image for it.
std::optional<std::string> IconStep(const std::string& path, IconSource& icons, ImageList& images);

}  // namespace kelvar
