// the image list on Qt; see image_list.h.
#include "platform/qt/image_list.h"

namespace kelvar::qt {

bool QtImageList::Add(const std::string& key, std::unique_ptr<Picture> picture) {
  auto* qt_picture = dynamic_cast<QtPicture*>(picture.get());
  if (!qt_picture || qt_picture->icon().isNull() || images_.count(key)) return false;
  images_.emplace(key, qt_picture->icon());
  return true;
}

QIcon QtImageList::Icon(const std::string& key) const {
  if (key.empty()) return {};
  auto it = images_.find(key);
  return it == images_.end() ? QIcon() : it->second;
}

}  // namespace kelvar::qt
