// The small icon of an executable on a Linux desktop.  There is no icon
// inside an ELF file; the desktop knows an application's icon from its
// desktop entry.  So the entries of the XDG data dirs are indexed once (the
// first time an icon is asked for), by the program their Exec (or TryExec)
// line runs: by full path and by file name.  A path is matched whole first,
// then by its file name; without a match the icon theme's generic
// executable icon stands in.
#pragma once

#include <QIcon>
#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/icons.h"

namespace kelvar::qt {

// The program a desktop entry's Exec line runs: the first word, unquoted,
// after an "env VAR=value" prefix; empty for a shell or an interpreter, whose
// name says nothing about the application.
std::string ExecProgram(const std::string& exec_line);

// The XDG data dirs in order of precedence: $XDG_DATA_HOME (or
// ~/.local/share), then $XDG_DATA_DIRS (or /usr/local/share:/usr/share).
std::vector<std::string> XdgDataDirs();

// Makes Qt look for icon themes where the desktop keeps them (some platform
// plugins, such as offscreen, give no search path) and names Adwaita when
// the desktop names no theme.  Call once, after the application exists.
void UseDesktopIconTheme(const std::vector<std::string>& data_dirs);

class DesktopIconSource : public IconSource {
 public:
  explicit DesktopIconSource(std::vector<std::string> data_dirs);
  std::unique_ptr<Picture> GetFileIcon(const std::string& path, bool small) override;

  // The icon name (or icon file) a desktop entry gives the executable; empty
  // when no entry runs it.
  std::string IconNameFor(const std::string& path);

 private:
  void BuildIndex();
  void IndexDirectory(const std::string& dir);
  void IndexEntry(const std::string& file);
  QIcon Load(const std::string& icon_name) const;

  std::vector<std::string> data_dirs_;
  bool indexed_ = false;
  std::unordered_map<std::string, std::string> by_path_;
  std::unordered_map<std::string, std::string> by_name_;
};

}  // namespace kelvar::qt
