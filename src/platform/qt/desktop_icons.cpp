// Executable icons from desktop entries; see desktop_icons.h.
#include "platform/qt/desktop_icons.h"

#include <QFileInfo>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "platform/qt/image_list.h"

namespace kelvar::qt {
namespace {

namespace fs = std::filesystem;

constexpr std::array<std::string_view, 9> kNotApplications{"sh",      "bash", "dash",    "zsh", "env",
                                                           "python3", "perl", "flatpak", "snap"};

std::string BaseName(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Splits off the first word of an Exec line, honouring double quotes and
// backslash escapes inside them.
std::string FirstWord(std::string_view line, std::size_t& pos) {
  while (pos < line.size() && line[pos] == ' ') ++pos;
  std::string word;
  bool quoted = false;
  for (; pos < line.size(); ++pos) {
    char c = line[pos];
    if (c == '"')
      quoted = !quoted;
    else if (c == '\\' && quoted && pos + 1 < line.size())
      word += line[++pos];
    else if (c == ' ' && !quoted)
      break;
    else
      word += c;
  }
  return word;
}

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::string(value) : fallback;
}

}  // namespace

std::string ExecProgram(const std::string& exec_line) {
  std::size_t pos = 0;
  std::string word = FirstWord(exec_line, pos);
  if (word == "env") {
    do word = FirstWord(exec_line, pos);
    while (word.find('=') != std::string::npos);
  }
  for (std::string_view skip : kNotApplications)
    if (BaseName(word) == skip) return {};
  return word;
}

std::vector<std::string> XdgDataDirs() {
  std::vector<std::string> dirs{EnvOr("XDG_DATA_HOME", EnvOr("HOME", "") + "/.local/share")};
  std::string rest = EnvOr("XDG_DATA_DIRS", "/usr/local/share:/usr/share");
  for (std::size_t start = 0; start <= rest.size();) {
    std::size_t colon = rest.find(':', start);
    if (colon == std::string::npos) colon = rest.size();
    if (colon > start) dirs.push_back(rest.substr(start, colon - start));
    start = colon + 1;
  }
  return dirs;
}

void UseDesktopIconTheme(const std::vector<std::string>& data_dirs) {
  QStringList paths = QIcon::themeSearchPaths();
  for (const std::string& dir : data_dirs) {
    QString icons = QString::fromLocal8Bit(dir.c_str()) + QStringLiteral("/icons");
    if (!paths.contains(icons) && QFileInfo(icons).isDir()) paths << icons;
  }
  QIcon::setThemeSearchPaths(paths);
  QString theme = QIcon::themeName();
  if (theme.isEmpty() || theme == QLatin1String("hicolor")) QIcon::setThemeName(QStringLiteral("Adwaita"));
}

DesktopIconSource::DesktopIconSource(std::vector<std::string> data_dirs) : data_dirs_(std::move(data_dirs)) {}

void DesktopIconSource::BuildIndex() {
  indexed_ = true;
  for (const std::string& dir : data_dirs_) IndexDirectory(dir + "/applications");
}

void DesktopIconSource::IndexDirectory(const std::string& dir) {
  std::error_code ec;
  fs::recursive_directory_iterator it(dir, fs::directory_options::skip_permission_denied, ec);
  for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    const fs::path& file = it->path();
    if (file.extension() == ".desktop" && it->is_regular_file(ec)) IndexEntry(file.string());
  }
}

// Reads the [Desktop Entry] group; the first entry (in precedence order)
// that names a program keeps it.
void DesktopIconSource::IndexEntry(const std::string& file) {
  std::ifstream in(file);
  std::string line, group, exec, try_exec, icon;
  while (std::getline(in, line)) {
    if (!line.empty() && line.front() == '[')
      group = line;
    else if (group != "[Desktop Entry]")
      continue;
    else if (line.rfind("Exec=", 0) == 0)
      exec = line.substr(5);
    else if (line.rfind("TryExec=", 0) == 0)
      try_exec = line.substr(8);
    else if (line.rfind("Icon=", 0) == 0)
      icon = line.substr(5);
  }
  std::string program = try_exec.empty() ? ExecProgram(exec) : try_exec;
  if (program.empty() || icon.empty()) return;
  if (program.front() == '/') by_path_.emplace(program, icon);
  by_name_.emplace(BaseName(program), icon);
}

std::string DesktopIconSource::IconNameFor(const std::string& path) {
  if (!indexed_) BuildIndex();
  if (auto it = by_path_.find(path); it != by_path_.end()) return it->second;
  if (auto it = by_name_.find(BaseName(path)); it != by_name_.end()) return it->second;
  return {};
}

QIcon DesktopIconSource::Load(const std::string& icon_name) const {
  QString name = QString::fromUtf8(icon_name);
  if (name.startsWith(u'/')) return QFileInfo::exists(name) ? QIcon(name) : QIcon();
  return QIcon::fromTheme(name);
}

std::unique_ptr<Picture> DesktopIconSource::GetFileIcon(const std::string& path, bool /*small*/) {
  QIcon icon;
  if (std::string name = IconNameFor(path); !name.empty()) icon = Load(name);
  if (icon.isNull()) icon = QIcon::fromTheme(QStringLiteral("application-x-executable"));
  if (icon.isNull()) return nullptr;
  return std::make_unique<QtPicture>(icon);
}

}  // namespace kelvar::qt
