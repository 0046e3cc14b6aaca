// Icons on Win32: the shell's small icon of a file (SHGetFileInfoW; in the
// 32-bit build a System32 file through Sysnative) as a Picture that owns its
// HICON, and the image list, an HIMAGELIST with the key -> index map the list
// view reads a row's image from.  The image list copies the icon it is
// given, so a picture is released as soon as it was added.
#pragma once

#include "platform/win32/win32_api.h"

#include <string>
#include <unordered_map>

#include "platform/icons.h"

namespace kelvar::win32 {

class Win32Picture : public Picture {
 public:
  explicit Win32Picture(HICON icon) : icon_(icon) {}
  ~Win32Picture() override { DestroyIcon(icon_); }
  Win32Picture(const Win32Picture&) = delete;
  Win32Picture& operator=(const Win32Picture&) = delete;
  HICON icon() const { return icon_; }

 private:
  HICON icon_;
};

class Win32IconSource : public IconSource {
 public:
  std::unique_ptr<Picture> GetFileIcon(const std::string& path, bool small) override;
};

class Win32ImageList : public ImageList {
 public:
  Win32ImageList();
  ~Win32ImageList() override;
  Win32ImageList(const Win32ImageList&) = delete;
  Win32ImageList& operator=(const Win32ImageList&) = delete;

  bool Add(const std::string& key, std::unique_ptr<Picture> picture) override;
  bool Contains(const std::string& key) const override;
  // The image index of a key, or -1.
  int IndexOf(const std::string& key) const;
  int Count() const { return ImageList_GetImageCount(list_); }
  HIMAGELIST handle() const { return list_; }

 private:
  HIMAGELIST list_;
  std::unordered_map<std::string, int> index_;
};

}  // namespace kelvar::win32
