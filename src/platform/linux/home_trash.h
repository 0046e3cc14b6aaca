// The freedesktop.org trash of the user's home: $XDG_DATA_HOME/Trash (or
// ~/.local/share/Trash) with its files/ and info/ folders.  The move works on
// the path's exact bytes, so a name that is not UTF-8, holds a newline or is
// thousands of bytes long reaches the trash as it is; the info file records
// the original path percent-encoded, as freedesktop.org's trash format asks.  A
// file is never deleted for good: when it cannot be moved or copied into the
// trash it stays where it was and the caller is told why.
//
// A path names whatever was put there last.  Given the identity of the file
// the user confirmed, the move compares the file at the path with it right
// before the rename, and once more after it: a file swapped in between goes
// back to its path (a rename that never replaces), so only the confirmed
// file stays in the trash.
#pragma once

#include <functional>
#include <string>

#include "platform/file_identity.h"

namespace kelvar {

struct TrashOutcome {
  bool moved = false;
  // Another file than the confirmed one was at the path.  Nothing was moved,
  // unless it could not be put back: then `moved` and `step` say where it is.
  bool not_the_file = false;
  std::string trashed_as;  // the file's path inside files/ when moved
  int error = 0;           // errno of the step that failed
  std::string step;        // what failed, for the user
};

class HomeTrash {
 public:
  // `data_home` is $XDG_DATA_HOME or ~/.local/share.  `before_move` runs
  // between the check and the rename; tests put another file at the path
  // there.
  explicit HomeTrash(std::string data_home, std::function<void()> before_move = {})
      : root_(std::move(data_home) + "/Trash"), before_move_(std::move(before_move)) {}
  // The data home the environment names.
  static std::string DataHomeFromEnvironment();

  const std::string& Root() const { return root_; }
  // Makes the trash and its two folders when missing; false with errno when
  // they cannot be made or are not folders.
  bool Prepare(TrashOutcome& outcome) const;
  // Moves the file at `path` while it is `confirmed` (whatever is there when
  // the identity is unknown).
  TrashOutcome Move(const std::string& path, const FileIdentity& confirmed = {}) const;

 private:
  bool Reserve(const std::string& path, std::string& name, TrashOutcome& outcome) const;
  bool MoveAcross(const std::string& path, const std::string& target, const FileIdentity& confirmed,
                  TrashOutcome& outcome) const;

  std::string root_;
  std::function<void()> before_move_;
};

}  // namespace kelvar
