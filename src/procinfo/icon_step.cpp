// The icon step of the refresh: the image list keeps one picture per
// executable path, added the first time the path is seen; every later row of
// that path shows the same image.  The icon is still fetched for every new
// row, as the shell query is what decides whether a picture exists at all;
// a picture for a path already present is simply released by the list.
#include "procinfo/icon_step.h"

namespace kelvar {

std::optional<std::string> IconStep(const std::string& path, IconSource& icons, ImageList& images) {
  images.Add(path, icons.GetFileIcon(path, true));  // fails for a duplicate key or no picture
  if (!images.Contains(path)) return std::nullopt;
  return path;
}

}  // namespace kelvar
