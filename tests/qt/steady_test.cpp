// A steady list costs the window nothing: a pass over an unchanged process
// table raises no model notification and writes no status panel.  The
// table is the fake one, since a live system never holds still; the window,
// model and status bar are the real ones.
#include <gtest/gtest.h>

#include <QSignalSpy>

#include "monitor/row_store.h"
#include "test_program.h"
#include "ui/form_definition.h"

namespace kelvar::qt::test {
namespace {

struct ModelSpies {
  explicit ModelSpies(RowModel* m)
      : inserted(m, &QAbstractItemModel::rowsInserted),
        removed(m, &QAbstractItemModel::rowsRemoved),
        changed(m, &QAbstractItemModel::dataChanged),
        layout(m, &QAbstractItemModel::layoutChanged),
        reset(m, &QAbstractItemModel::modelReset),
        header(m, &QAbstractItemModel::headerDataChanged) {}
  int Total() const {
    return static_cast<int>(inserted.count() + removed.count() + changed.count() + layout.count() +
                            reset.count() + header.count());
  }
  QSignalSpy inserted, removed, changed, layout, reset, header;
};

class SteadyList : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int pid = 100; pid < 400; ++pid)
      p.system().proc.Start(pid, "/usr/bin/prog" + std::to_string(pid % 37), 4096 * (pid % 50 + 1));
    p.Start();
    for (int i = 0; i < 3; ++i) p.form().Timer(form::kTimer1);
  }
  FakeProgram p;
};

TEST_F(SteadyList, PassesAndSweepsNotifyNothing) {
  ModelSpies spies(&p.window().Model());
  int writes = p.window().Status().Writes();
  for (int i = 0; i < 20; ++i) {
    p.form().Timer(form::kTimer1);
    p.form().Timer(form::kTimer2);
  }
  EXPECT_EQ(spies.Total(), 0);
  EXPECT_EQ(p.window().Status().Writes(), writes);
}

TEST_F(SteadyList, OneChangedFigureIsOneNotification) {
  ModelSpies spies(&p.window().Model());
  int writes = p.window().Status().Writes();
  p.system().proc.Get(150).working_set += 1 << 20;
  p.form().Timer(form::kTimer1);
  EXPECT_EQ(spies.changed.count(), 1);
  EXPECT_EQ(spies.Total(), 1);
  EXPECT_EQ(p.window().Status().Writes(), writes + 1);  // the memory panel only
}

TEST_F(SteadyList, TheRunningTimersKeepAnUnchangedListQuiet) {
  ModelSpies spies(&p.window().Model());
  int writes = p.window().Status().Writes();
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(1200);
  PollUntil([&] { return std::chrono::steady_clock::now() > until; }, std::chrono::seconds(5));
  EXPECT_EQ(spies.Total(), 0);
  EXPECT_EQ(p.window().Status().Writes(), writes);
}

}  // namespace
}  // namespace kelvar::qt::test
