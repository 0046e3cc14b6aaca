// the image list on Qt: the small icons of the list's rows, one per key (the
// executable's path), added once and never removed.  A picture is a QIcon;
// Qt renders and caches its pixmaps when the list paints.
#pragma once

#include <QIcon>
#include <memory>
#include <string>
#include <unordered_map>

#include "platform/icons.h"

namespace kelvar::qt {

class QtPicture : public Picture {
 public:
  explicit QtPicture(QIcon icon) : icon_(std::move(icon)) {}
  const QIcon& icon() const { return icon_; }

 private:
  QIcon icon_;
};

class QtImageList : public ImageList {
 public:
  bool Add(const std::string& key, std::unique_ptr<Picture> picture) override;
  bool Contains(const std::string& key) const override { return images_.count(key) != 0; }
  // The icon under a key; a null icon for an unknown or empty key.
  QIcon Icon(const std::string& key) const;
  int size() const { return static_cast<int>(images_.size()); }

 private:
  std::unordered_map<std::string, QIcon> images_;
};

}  // namespace kelvar::qt
