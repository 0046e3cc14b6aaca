// Icons on Win32; see icons_win32.h.
#include "platform/win32/win32_api.h"

#include "platform/win32/icons_win32.h"

#include "platform/win32/wide_text.h"
#include "platform/win32/wow64_path.h"

namespace kelvar::win32 {

namespace {

HICON ShellIcon(const std::wstring& path, bool small, DWORD attributes = 0, UINT flags = 0) {
  SHFILEINFOW info{};
  flags |= SHGFI_ICON | (small ? SHGFI_SMALLICON : 0u);
  SHGetFileInfoW(path.c_str(), attributes, &info, sizeof info, flags);
  return info.hIcon;
}

// The file's own first icon, read from its resources, as the shell shows a
// program: through the file system, which follows the Sysnative alias.
HICON ResourceIcon(const std::wstring& path, bool small) {
  HICON icon = nullptr;
  ExtractIconExW(path.c_str(), 0, small ? nullptr : &icon, small ? &icon : nullptr, 1);
  return icon;
}

// What the shell shows for a file of this type that has no icon of its own.
HICON TypeIcon(const std::wstring& path, bool small) {
  return ShellIcon(path, small, FILE_ATTRIBUTE_NORMAL, SHGFI_USEFILEATTRIBUTES);
}

}  // namespace

// The file the row names: in the 32-bit build a System32 path is asked for
// through Sysnative, never as given, since WOW64 would answer for its
// SysWOW64 twin or for nothing.  A shell that cannot follow the alias (Wine's
// cannot) leaves the icon to be read from the file itself, or, for a file
// without one, to be the icon of its type.
std::unique_ptr<Picture> Win32IconSource::GetFileIcon(const std::string& path, bool small) {
  std::wstring wide = Widen(path), file = NativeFilePath(wide);
  HICON icon = ShellIcon(file, small);
  if (!icon && file != wide && GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES) {
    icon = ResourceIcon(file, small);
    if (!icon) icon = TypeIcon(file, small);
  }
  if (!icon) return nullptr;
  return std::make_unique<Win32Picture>(icon);
}

Win32ImageList::Win32ImageList()
    : list_(ImageList_Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                             ILC_COLOR32 | ILC_MASK, 16, 16)) {}

Win32ImageList::~Win32ImageList() {
  if (list_) ImageList_Destroy(list_);
}

bool Win32ImageList::Add(const std::string& key, std::unique_ptr<Picture> picture) {
  auto* icon = dynamic_cast<Win32Picture*>(picture.get());
  if (!icon || index_.count(key)) return false;
  int index = ImageList_AddIcon(list_, icon->icon());
  if (index < 0) return false;
  index_.emplace(key, index);
  return true;
}

bool Win32ImageList::Contains(const std::string& key) const { return index_.count(key) != 0; }

int Win32ImageList::IndexOf(const std::string& key) const {
  auto it = index_.find(key);
  return it == index_.end() ? -1 : it->second;
}

}  // namespace kelvar::win32
