// Icons on Win32; see icons_win32.h.
#include "platform/win32/win32_api.h"

#include "platform/win32/icons_win32.h"

#include "platform/win32/wide_text.h"
#include "platform/win32/wow64_path.h"

namespace kelvar::win32 {

namespace {

HICON ShellIcon(const std::wstring& path, bool small) {
  SHFILEINFOW info{};
  UINT flags = SHGFI_ICON | (small ? SHGFI_SMALLICON : 0u);
  SHGetFileInfoW(path.c_str(), 0, &info, sizeof info, flags);
  return info.hIcon;
}

}  // namespace

// The path as given first; in the 32-bit build a System32 file that has no
// SysWOW64 twin is then asked for through Sysnative.  (Wine's shell cannot
// follow that alias, so there such a file has no icon in the 32-bit build.)
std::unique_ptr<Picture> Win32IconSource::GetFileIcon(const std::string& path, bool small) {
  std::wstring wide = Widen(path), native = NativeFilePath(wide);
  HICON icon = ShellIcon(wide, small);
  if (!icon && native != wide) icon = ShellIcon(native, small);
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
