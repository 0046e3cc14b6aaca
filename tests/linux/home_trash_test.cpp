// The home trash on real files, with another file swapped in at the path in
// the one moment its check cannot see: between the check and the rename.
#include "platform/linux/home_trash.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "support/test_support.h"

namespace kelvar::test {
namespace {

FileIdentity IdentityOf(const std::string& path) { return LinuxFileSearch().IdentityAt(path); }

// The trash on the file's own file system, or on /dev/shm where that is
// another one (the copy across).  A file swapped in before the check stops
// the move there; one swapped in between the check and the rename goes back.
// Only the confirmed file goes to the trash.
TEST(HomeTrash, MovesOnlyTheConfirmedFile) {
  for (const char* data : {"/tmp", "/dev/shm"}) {
    for (std::string swap : {"", "before the check", "before the rename"}) {
      SCOPED_TRACE(data + (" " + swap));
      TempDir folder, home(data);
      if (data[1] == 'd' && IdentityOf(folder.path()).device == IdentityOf(home.path()).device) {
        std::cout << "skipped: /dev/shm is not another file system than /tmp\n";
        continue;
      }
      const std::string file = folder.path() + "/f", other = folder.path() + "/other";
      ASSERT_TRUE(CopyExecutable("/bin/sleep", file) && CopyExecutable("/bin/true", other));
      const FileIdentity confirmed = IdentityOf(file);
      auto change = [&] { ASSERT_EQ(std::rename(other.c_str(), file.c_str()), 0); };
      if (swap == "before the check") change();
      bool renamed = false;
      HomeTrash trash(home.path(), [&] {
        renamed = true;
        if (swap == "before the rename") change();
      });
      const TrashOutcome outcome = trash.Move(file, confirmed);
      const bool swapped = !swap.empty();
      EXPECT_EQ(std::tuple(outcome.moved, outcome.not_the_file, outcome.step, renamed),
                std::tuple(!swapped, swapped, "", swap != "before the check"));
      EXPECT_EQ(ReadFile(file), swapped ? ReadFile("/bin/true") : "");
      EXPECT_EQ(ListDir(folder.path()).size(), 1u);  // nothing left aside
      EXPECT_EQ(ListDir(trash.Root() + "/info").size(), swapped ? 0u : 1u);
      EXPECT_EQ(ListDir(trash.Root() + "/files").size(), swapped ? 0u : 1u);  // "f", as read below
      EXPECT_EQ(ReadFile(trash.Root() + "/files/f"), swapped ? "" : ReadFile("/bin/sleep"));
    }
  }
}

}  // namespace
}  // namespace kelvar::test
