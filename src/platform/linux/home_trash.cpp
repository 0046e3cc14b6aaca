// The home trash; see home_trash.h.
#include "platform/linux/home_trash.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/linux/file_uri.h"
#include "platform/linux/linux_files.h"

namespace kelvar {
namespace {

constexpr std::size_t kNameMax = 255;
constexpr std::string_view kInfoSuffix = ".trashinfo";

bool Fail(TrashOutcome& outcome, std::string step) {
  outcome.error = errno;
  outcome.step = std::move(step);
  return false;
}

// mkdir -p with mode 0700 for what it creates; every component must end up
// a folder.
bool MakeFolders(const std::string& path) {
  for (std::size_t slash = 1; slash != std::string::npos;) {
    slash = path.find('/', slash + 1);
    std::string part = path.substr(0, slash);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat st {};
    if (::stat(part.c_str(), &st) != 0) return false;
    if (!S_ISDIR(st.st_mode)) {
      errno = ENOTDIR;
      return false;
    }
  }
  return ::access(path.c_str(), W_OK | X_OK) == 0;
}

std::string BaseName(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string DeletionDate() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
  return text;
}

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Whether the file at `path` itself (a link is not followed) is `confirmed`;
// any file is when the identity is unknown.
bool HoldsFile(const std::string& path, const FileIdentity& confirmed) {
  const FileIdentity at = IdentityOfLink(path);
  return at.known && (!confirmed.known || SameFile(at, confirmed));
}

// After a rename from `from` to `moved`: a file that is not `confirmed` was
// swapped in between the check and the rename, and goes back, never onto a
// file put at `from` since.  False when it went back.  When it cannot, it
// stays where it is and the outcome says why.
bool StaysMoved(const std::string& moved, const std::string& from, const FileIdentity& confirmed,
                TrashOutcome& outcome) {
  if (HoldsFile(moved, confirmed)) return true;
  outcome.not_the_file = true;
  if (::renameat2(AT_FDCWD, moved.c_str(), AT_FDCWD, from.c_str(), RENAME_NOREPLACE) == 0) return false;
  Fail(outcome, "替换此文件的文件无法放回原处，它现在是 " + moved);
  return true;
}

// A regular file copied whole to a new file at `to`, synced to disk; false
// with errno, EXDEV for anything but a regular file.
bool CopyFile(const std::string& from, const std::string& to) {
  struct stat st {};
  int in = ::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (in < 0 || ::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
    if (in >= 0) ::close(in);
    errno = EXDEV;
    return false;
  }
  int out = ::open(to.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, st.st_mode & 07777);
  bool ok = out >= 0;
  char buffer[65536];
  while (ok) {
    ssize_t n = ::read(in, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    ok = WriteAll(out, std::string_view(buffer, static_cast<std::size_t>(n)));
  }
  ok = ok && ::fsync(out) == 0;
  if (out >= 0 && ::close(out) != 0) ok = false;
  ::close(in);
  return ok;
}

}  // namespace

std::string HomeTrash::DataHomeFromEnvironment() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg && xdg[0] == '/') return xdg;
  const char* home = std::getenv("HOME");
  if (home && *home) return std::string(home) + "/.local/share";
  const passwd* pw = ::getpwuid(::getuid());
  return std::string(pw ? pw->pw_dir : "") + "/.local/share";
}

bool HomeTrash::Prepare(TrashOutcome& outcome) const {
  for (const char* sub : {"/files", "/info"})
    if (!MakeFolders(root_ + sub)) return Fail(outcome, "无法建立回收站 " + root_ + sub);
  return true;
}

// Claims a free name in the trash by creating its info file exclusively.
bool HomeTrash::Reserve(const std::string& path, std::string& name, TrashOutcome& outcome) const {
  std::string base = BaseName(path);
  std::size_t room = kNameMax - kInfoSuffix.size() - 8;  // 8: room for ".NNNNNNN"
  if (base.size() > room) base.resize(room);
  std::string info =
      "[Trash Info]\nPath=" + PercentEncodePath(path) + "\nDeletionDate=" + DeletionDate() + "\n";
  for (int n = 1; n < 10000000; ++n) {
    name = n == 1 ? base : base + "." + std::to_string(n);
    std::string info_path = root_ + "/info/" + name + std::string(kInfoSuffix);
    int fd = ::open(info_path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) return Fail(outcome, "无法写入回收站信息文件");
    struct stat st {};
    bool taken = ::lstat((root_ + "/files/" + name).c_str(), &st) == 0;
    bool written = !taken && WriteAll(fd, info);
    int saved = errno;
    ::close(fd);
    if (written) return true;
    ::unlink(info_path.c_str());
    errno = saved;
    if (!taken) return Fail(outcome, "无法写入回收站信息文件");
  }
  errno = EEXIST;
  return Fail(outcome, "回收站中没有可用的名字");
}

TrashOutcome HomeTrash::Move(const std::string& path, const FileIdentity& confirmed) const {
  TrashOutcome outcome;
  bool absolute = !path.empty() && path.front() == '/';
  if (!absolute) errno = EINVAL;
  if (!absolute || !HoldsFile(path, confirmed)) {
    if (absolute && confirmed.known)
      outcome.not_the_file = true;  // replaced, or deleted, since it was confirmed
    else
      Fail(outcome, "找不到文件");
    return outcome;
  }
  std::string name;
  if (!Prepare(outcome) || !Reserve(path, name, outcome)) return outcome;
  std::string target = root_ + "/files/" + name;
  std::string info_path = root_ + "/info/" + name + std::string(kInfoSuffix);
  if (before_move_) before_move_();
  bool moved = ::rename(path.c_str(), target.c_str()) == 0;
  if (moved)
    moved = StaysMoved(target, path, confirmed, outcome);
  else if (errno == EXDEV)
    moved = MoveAcross(path, target, confirmed, outcome);
  else
    Fail(outcome, "无法移动文件");
  if (!moved) {
    ::unlink(info_path.c_str());
    return outcome;
  }
  outcome.moved = true;
  outcome.trashed_as = target;
  return outcome;
}

// Another file system: the file is first renamed aside in its own folder and
// checked there as a move into the trash is, then copied into the trash; the
// original is removed only once the copy is complete, else it goes back.
bool HomeTrash::MoveAcross(const std::string& path, const std::string& target, const FileIdentity& confirmed,
                           TrashOutcome& outcome) const {
  const std::size_t slash = path.rfind('/');
  const std::string aside = path.substr(0, slash + 1) + ".kelvar-trash-" + std::to_string(::getpid());
  if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) != 0)
    return Fail(outcome, "无法移动文件");
  // A swapped-in file that could not go back stays aside, out of the trash.
  if (!StaysMoved(aside, path, confirmed, outcome) || outcome.not_the_file) return false;
  if (CopyFile(aside, target) && ::unlink(aside.c_str()) == 0) return true;
  int saved = errno;
  ::unlink(target.c_str());
  ::renameat2(AT_FDCWD, aside.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE);
  errno = saved;
  return Fail(outcome, saved == EXDEV ? "回收站在另一个文件系统上" : "无法把文件复制到回收站");
}

}  // namespace kelvar
