// The file a process runs, as its row shows it after an exec, a deletion
// (with an unrelated file at the marked name) or turning unreadable, and
// when the sweep looks at it.
#include <grp.h>
#include <gtest/gtest.h>

#include "support/test_support.h"

namespace kelvar::test {
namespace {

// A program that runs another once told to: the refresh alone follows an
// exec that moves the memory layout; the sweep alone one that does not (a
// byte copy of the program itself, the first file left in place).
TEST(ImageTest, TheRowFollowsAnExec) {
  const std::tuple<const char*, const char*, std::vector<std::string>, bool> cases[] = {
      {"to sleep, at the refresh", "/bin/sleep", {"600"}, false},
      {"to a copy of itself, at the sweep", KELVAR_THREADS_CHILD, {}, true}};
  for (const auto& [what, program, program_args, sweep] : cases) {
    SCOPED_TRACE(what);
    TempDir dir;
    const std::string before = dir.path() + "/kelvar-before", after = dir.path() + "/kelvar-after",
                      go = dir.path() + "/go";
    ASSERT_TRUE(CopyExecutable(KELVAR_THREADS_CHILD, before) && CopyExecutable(program, after));
    std::vector<std::string> args{"exec", after, go};
    args.insert(args.end(), program_args.begin(), program_args.end());
    Child child = Child::Spawn(before, args);
    const pid_t pid = child.pid();
    Rig rig({pid});
    ASSERT_NE(rig.RowAfterPass(pid), kNoRow);
    ASSERT_TRUE(CopySleep(go));
    const std::string exe = "/proc/" + std::to_string(pid) + "/exe";
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::read_symlink(exe) == after; }));
    sweep ? rig.monitor.Sweep() : rig.monitor.Refresh();
    ASSERT_NE(rig.monitor.RowOf(pid), kNoRow);
    EXPECT_EQ(rig.Cell(pid, Column::kName), "kelvar-after");
    EXPECT_EQ(rig.Cell(pid, Column::kPath), after);
  }
}

// A deleted file, with an unrelated file at the marked name: at the sweep its
// row names the path and no file; a program whose own name ends so keeps it.
TEST(ImageTest, TheDeletionMarkIsNotPartOfTheName) {
  TempDir dir;
  const std::string gone = dir.path() + "/kelvar-gone", live = dir.path() + "/kelvar-live (deleted)";
  ASSERT_TRUE(CopySleep(gone) && CopySleep(live));
  Child a = Child::Spawn(gone), b = Child::Spawn(live);
  Rig before({a.pid(), b.pid()}), after({a.pid(), b.pid()});
  before.monitor.Refresh();
  ASSERT_EQ(::unlink(gone.c_str()), 0);
  ASSERT_TRUE(CopySleep(gone + " (deleted)"));
  before.monitor.Sweep();
  after.monitor.Refresh();
  for (Rig* rig : {&before, &after}) {
    ASSERT_EQ(rig->rows.Count(), 2);
    EXPECT_EQ(rig->Cell(a.pid(), Column::kPath), gone);
    EXPECT_EQ(rig->Cell(a.pid(), Column::kName), "");
    EXPECT_EQ(rig->Cell(b.pid(), Column::kPath), live);
    EXPECT_EQ(rig->Cell(b.pid(), Column::kName), "kelvar-live (deleted)");
  }
}

// The sweep looks at a quiet process's image no more, and at one whose file
// was renamed once, as its exe link reads the new name.
TEST(ImageTest, TheSweepLooksOnlyWhenTheLinkReadsOtherwise) {
  TempDir dir;
  const std::string path = dir.path() + "/kelvar-sleeper", renamed = dir.path() + "/kelvar-renamed";
  ASSERT_TRUE(CopySleep(path));
  Child child = Child::Spawn(path);
  Rig rig({child.pid()});
  ASSERT_NE(rig.RowAfterPass(child.pid()), kNoRow);
  const std::size_t looks = rig.processes.ImageLooks();
  for (int sweep = 0; sweep < 2; ++sweep) rig.monitor.Sweep();
  EXPECT_EQ(rig.processes.ImageLooks(), looks);
  ASSERT_EQ(::rename(path.c_str(), renamed.c_str()), 0);
  for (int sweep = 0; sweep < 2; ++sweep) rig.monitor.Sweep();
  EXPECT_EQ(rig.processes.ImageLooks(), looks + 1);
}

// A process that turns unreadable (as a set-uid exec makes it) loses its row
// at the next sweep; as root, the check and the process run as 'nobody'.
TEST(ImageTest, AProcessThatTurnsUnreadableLosesItsRow) {
  ExpectInChild([] {
    if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0 ||
                             ::setresuid(65534, 65534, 65534) != 0))
      return 100;
    ::prctl(PR_SET_DUMPABLE, 1);  // giving up root made this process unreadable
    int cue[2], done[2];
    char c = 'x';
    if (::pipe(cue) != 0 || ::pipe(done) != 0) return 101;
    const pid_t watched = ::fork();
    if (watched < 0) return 102;
    if (watched == 0) {
      ::prctl(PR_SET_PDEATHSIG, SIGKILL);
      if (::read(cue[0], &c, 1) != 1 || ::prctl(PR_SET_DUMPABLE, 0) != 0 || ::write(done[1], &c, 1) != 1)
        ::_exit(1);
      for (;;) ::pause();
    }
    Rig rig({watched});
    int failed = rig.RowAfterPass(watched) == kNoRow ? 1 : 0;
    if (::write(cue[1], &c, 1) != 1 || ::read(done[0], &c, 1) != 1) failed |= 2;
    rig.monitor.Sweep();
    if (rig.monitor.RowOf(watched) != kNoRow) failed |= 4;
    if (rig.RowAfterPass(watched) != kNoRow) failed |= 8;
    ::kill(watched, SIGKILL);
    ::waitpid(watched, nullptr, 0);
    return failed;
  });
}

}  // namespace
}  // namespace kelvar::test
