// The process adapter on real Wine processes: a child the test starts is
// found, read, re-prioritised and ended through the same calls the program
// makes, and the monitor built on the real adapters lists it and lets its
// row go within one sweep.
#include <gtest/gtest.h>

#include <algorithm>

#include "actions/commands.h"
#include "actions/priority.h"
#include "monitor/process_monitor.h"
#include "platform/scoped_process.h"
#include "platform/win32/controls_win32.h"
#include "platform/win32/icons_win32.h"
#include "platform/win32/win32_system.h"
#include "test_support.h"
#include "ui/frm_main.h"

namespace kelvar::win32 {
namespace {

using test::Child;

bool InSnapshot(ProcessControl& proc, Pid pid) {
  std::vector<Pid> pids;
  return proc.Snapshot(pids) && std::find(pids.begin(), pids.end(), pid) != pids.end();
}

// A monitor over the real adapters and real controls on a hidden window.
class RealMonitor {
 public:
  RealMonitor()
      : host_(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 100, nullptr, nullptr, nullptr, nullptr)),
        status_(host_, 1, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))),
        monitor_(rows_, MonitorPorts{system_.proc, system_.files, system_.dirs, system_.profile, system_.sizes,
                                     system_.icons, images_, status_}) {
    monitor_.SetRemarkFile(GetAppPath(system_.dirs) + "Comment\\system.ini");
  }
  ~RealMonitor() { DestroyWindow(host_); }
  RealMonitor(const RealMonitor&) = delete;
  RealMonitor& operator=(const RealMonitor&) = delete;

  ProcessMonitor& monitor() { return monitor_; }
  RowStore& rows() { return rows_; }
  Win32System& system() { return system_; }
  const Win32ImageList& images() const { return images_; }
  std::wstring PanelText(int panel) const {
    wchar_t buf[256] = {};
    SendMessageW(status_.hwnd(), SB_GETTEXTW, static_cast<WPARAM>(panel - 1), reinterpret_cast<LPARAM>(buf));
    return buf;
  }

 private:
  HWND host_;
  Win32System system_;
  Win32ImageList images_;
  Win32StatusBar status_;
  RowStore rows_;
  ProcessMonitor monitor_;
};

class ProcessControlTest : public ::testing::Test {
 protected:
  Win32ProcessControl proc_;
};

TEST_F(ProcessControlTest, ChildIsListedWithItsPathMemoryAndNormalClass) {
  Child child(16);
  ASSERT_TRUE(child.started());
  ASSERT_TRUE(test::PollUntil([&] { return InSnapshot(proc_, child.pid()); }, 5000));
  // The working set grows while the child touches its pages.
  ScopedProcess h(proc_, child.pid(), access::kRead);
  ASSERT_TRUE(h);
  EXPECT_TRUE(test::PollUntil([&] { return proc_.WorkingSet(h.get()) >= 16u << 20; }, 5000))
      << proc_.WorkingSet(h.get());
  std::string path;
  ASSERT_TRUE(proc_.ModulePath(h.get(), path));
  EXPECT_TRUE(test::SamePath(path, child.path())) << path;
  EXPECT_NE(proc_.StartTime(h.get()), 0u);
  EXPECT_EQ(GetProClass(proc_, child.pid()), "标准");
}

TEST_F(ProcessControlTest, ExitCodeIsStillActiveWhileTheProcessRuns) {
  Child child;
  ASSERT_TRUE(child.started());
  ScopedProcess h(proc_, child.pid(), access::kRead);
  ASSERT_TRUE(h);
  EXPECT_EQ(proc_.ExitCode(h.get()), kStillActive);
}

// Wine grants the realtime class to an ordinary user (Windows would quietly
// give "high" without SeIncreaseBasePriorityPrivilege); either is accepted,
// every other class must read back exactly.
TEST_F(ProcessControlTest, EverySixClassReadsBackAfterSetting) {
  Child child;
  ASSERT_TRUE(child.started());
  for (const PriorityClass& c : kPriorityClasses) {
    SCOPED_TRACE(std::string(c.name));
    EXPECT_NE(SetProClass(proc_, child.pid(), c.value), 0u);
    std::string_view now = GetProClass(proc_, child.pid());
    if (c.value == 0x0100) {
      EXPECT_TRUE(now == "实时" || now == "高") << now;
      RecordProperty("realtime_reads_back_as", std::string(now));
    } else {
      EXPECT_EQ(now, c.name);
    }
  }
}

TEST_F(ProcessControlTest, SettingTheClassNeedsOnlySetInformation) {
  Child child;
  ASSERT_TRUE(child.started());
  ScopedProcess h(proc_, child.pid(), access::kSetInformation);
  ASSERT_TRUE(h);
  EXPECT_TRUE(proc_.SetPriorityClass(h.get(), 0x4000));
  EXPECT_EQ(GetProClass(proc_, child.pid()), "较低");
}

TEST_F(ProcessControlTest, EndProEndsWithExitCodeZeroOnlyTheProcessTheRowNames) {
  Child child;
  ASSERT_TRUE(child.started());
  std::uint64_t started = 0;
  {
    ScopedProcess h(proc_, child.pid(), access::kRead);
    started = proc_.StartTime(h.get());
  }
  EndPro(proc_, child.pid(), started + 1);  // another process's start time: not ended
  EXPECT_FALSE(child.WaitExit(300));
  EndPro(proc_, child.pid(), started);
  ASSERT_TRUE(child.WaitExit(5000));
  EXPECT_EQ(child.ExitCode(), 0u);
}

TEST_F(ProcessControlTest, ASnapshotListsEveryPidOnce) {
  std::vector<Pid> pids;
  ASSERT_TRUE(proc_.Snapshot(pids));
  EXPECT_GE(pids.size(), 3u);  // at least services, the test and wineboot's helpers
  std::sort(pids.begin(), pids.end());
  EXPECT_EQ(std::adjacent_find(pids.begin(), pids.end()), pids.end());
  EXPECT_EQ(proc_.Open(0, access::kRead, false), 0u) << "the idle process cannot be opened";
}

TEST(MonitorOnWin32, ChildGetsARowThatLeavesWithinOneSweepAfterItEnds) {
  RealMonitor real;
  Child child(4);
  ASSERT_TRUE(child.started());
  ASSERT_TRUE(test::PollUntil([&] { return InSnapshot(real.system().proc, child.pid()); }, 5000));
  real.monitor().ListProcess();
  int row = real.monitor().HaveItem(child.pid());
  ASSERT_NE(row, 0);
  RowStore& rows = real.rows();
  EXPECT_EQ(rows.SubItem(row, cell::kName), "kelvar_child.exe");
  EXPECT_EQ(rows.SubItem(row, cell::kPid), std::to_string(child.pid()));
  EXPECT_GE(std::stoll(rows.SubItem(row, cell::kMemory)), 1024);
  EXPECT_EQ(rows.SubItem(row, cell::kPriority), "标准");
  EXPECT_TRUE(test::SamePath(rows.SubItem(row, cell::kPath), child.path()));
  EXPECT_EQ(real.images().Count() > 0, !rows.Icon(row).empty());
  EXPECT_EQ(real.PanelText(1).rfind(L"进程数：", 0), 0u) << test::Utf8(real.PanelText(1));
  EXPECT_EQ(real.PanelText(2).rfind(L"已用内存：", 0), 0u) << test::Utf8(real.PanelText(2));

  EndPro(real.system().proc, child.pid(), rows.StartTime(row));
  ASSERT_TRUE(child.WaitExit(5000));
  real.monitor().CheckProcess();
  EXPECT_EQ(real.monitor().HaveItem(child.pid()), 0);
}

TEST(MonitorOnWin32, TwoProcessesOfOneExecutableShareOneImage) {
  RealMonitor real;
  Child a, b;
  ASSERT_TRUE(a.started() && b.started());
  ASSERT_TRUE(test::PollUntil([&] { return InSnapshot(real.system().proc, b.pid()); }, 5000));
  real.monitor().ListProcess();
  int ra = real.monitor().HaveItem(a.pid()), rb = real.monitor().HaveItem(b.pid());
  ASSERT_TRUE(ra && rb);
  EXPECT_EQ(real.rows().Icon(ra), real.rows().Icon(rb));
  EXPECT_EQ(real.images().IndexOf(real.rows().Icon(ra)), real.images().IndexOf(real.rows().Icon(rb)));
}

// Wine's own services run as 64-bit processes.  The 32-bit build cannot read
// their module list and must name them from the kernel's image name; the
// file search then has to look in the real System32, not in SysWOW64.
TEST(MonitorOnWin32, ServicesExeIsListedWithItsNameFromEitherBuild) {
  Pid services = 0;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL ok = Process32FirstW(snap, &entry); ok; ok = Process32NextW(snap, &entry)) {
    if (lstrcmpiW(entry.szExeFile, L"services.exe") == 0) services = static_cast<Pid>(entry.th32ProcessID);
  }
  CloseHandle(snap);
  ASSERT_NE(services, 0);
#ifndef _WIN64
  HANDLE h = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, static_cast<DWORD>(services));
  ASSERT_TRUE(h);
  HMODULE first = nullptr;
  DWORD needed = 0;
  EXPECT_FALSE(EnumProcessModules(h, &first, sizeof first, &needed)) << "the module list is readable: no fallback needed";
  CloseHandle(h);
#endif
  RealMonitor real;
  real.monitor().ListProcess();
  int row = real.monitor().HaveItem(services);
  ASSERT_NE(row, 0);
  EXPECT_EQ(real.rows().SubItem(row, cell::kName), "services.exe");
  std::string path = real.rows().SubItem(row, cell::kPath);
  EXPECT_TRUE(test::SamePath(path, L"C:\\windows\\system32\\services.exe")) << path;
  EXPECT_EQ(real.rows().SubItem(row, cell::kKind), "系统") << "the sample remark file names services.exe";
}

}  // namespace
}  // namespace kelvar::win32
