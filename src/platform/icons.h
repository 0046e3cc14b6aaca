// Icons: the small shell icon of a file, and the image list that keeps one
// picture per key for the list's rows.  A Picture owns its icon: destroying
// it releases the icon.
#pragma once

#include <memory>
#include <string>

namespace kelvar {

class Picture {
 public:
  virtual ~Picture() = default;
};

class IconSource {
 public:
  virtual ~IconSource() = default;
  // The small (or large) icon of the file at `path`, or nullptr for none.
  virtual std::unique_ptr<Picture> GetFileIcon(const std::string& path, bool small) = 0;
};

class ImageList {
 public:
  virtual ~ImageList() = default;
  // Adds a picture under a key; false (the picture is released) when the key
  // is already present or there is no picture.
  virtual bool Add(const std::string& key, std::unique_ptr<Picture> picture) = 0;
  virtual bool Contains(const std::string& key) const = 0;
};

}  // namespace kelvar
