// The freedesktop.org trash of the user's home: $XDG_DATA_HOME/Trash (or
// ~/.local/share/Trash) with its files/ and info/ folders.  The move works on
// the path's exact bytes, so a name that is not UTF-8, holds a newline or is
// thousands of bytes long reaches the trash as it is; the info file records
// the original path percent-encoded, as freedesktop.org's trash format asks.  A
// file is never deleted for good: when it cannot be moved or copied into the
// trash it stays where it was and the caller is told why.
#pragma once

#include <string>

namespace kelvar {

struct TrashOutcome {
  bool moved = false;
  std::string trashed_as;  // the file's path inside files/ when moved
  int error = 0;           // errno of the step that failed
  std::string step;        // what failed, for the user
};

class HomeTrash {
 public:
  // `data_home` is $XDG_DATA_HOME or ~/.local/share.
  explicit HomeTrash(std::string data_home) : root_(std::move(data_home) + "/Trash") {}
  // The data home the environment names.
  static std::string DataHomeFromEnvironment();

  const std::string& Root() const { return root_; }
  // Makes the trash and its two folders when missing; false with errno when
  // they cannot be made or are not folders.
  bool Prepare(TrashOutcome& outcome) const;
  TrashOutcome Move(const std::string& path) const;

 private:
  bool Reserve(const std::string& path, std::string& name, TrashOutcome& outcome) const;
  bool CopyInto(const std::string& path, const std::string& target, TrashOutcome& outcome) const;

  std::string root_;
};

}  // namespace kelvar
