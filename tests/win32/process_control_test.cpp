// The process adapter and the shell on real Wine processes and files: a
// child the test starts is found, read, re-prioritised and ended through the
// calls the program makes, the monitor over the real adapters lists it and
// lets its row go within one sweep, and a deleted file reaches Wine's trash.
#include <gtest/gtest.h>

#include <algorithm>

#include "actions/commands.h"
#include "actions/priority.h"
#include "monitor/process_monitor.h"
#include "platform/scoped_process.h"
#include "platform/win32/controls_win32.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_system.h"
#include "test_support.h"
#include "ui/frm_main.h"

namespace kelvar::win32 {
namespace {

using test::Child;

// A monitor over the real adapters and real controls on a hidden window.
class RealMonitor {
 public:
  RealMonitor()
      : host_(
            CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 100, nullptr, nullptr, nullptr, nullptr)),
        status_(host_, 1, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))),
        monitor(rows, MonitorPorts{system.proc, system.files, system.dirs, system.profile, system.sizes,
                                   system.icons, images_, status_}) {
    monitor.SetRemarkFile(GetAppPath(system.dirs) + "Comment\\system.ini");
  }
  ~RealMonitor() { DestroyWindow(host_); }
  RealMonitor(const RealMonitor&) = delete;
  RealMonitor& operator=(const RealMonitor&) = delete;

 private:
  HWND host_;
  Win32ImageList images_;
  Win32StatusBar status_;

 public:
  Win32System system;
  RowStore rows;
  ProcessMonitor monitor;
};

TEST(ProcessOnWin32, ChildIsListedSteeredAndEndedAndItsRowLeavesWithinOneSweep) {
  RealMonitor real;
  ProcessControl& proc = real.system.proc;
  Child child(16);
  ASSERT_TRUE(child.started());
  ASSERT_TRUE(test::PollUntil(
      [&] {
        std::vector<Pid> pids;
        return proc.Snapshot(pids) && std::find(pids.begin(), pids.end(), child.pid()) != pids.end();
      },
      5000));
  {
    // The working set grows, pass by pass, while the child touches its pages.
    std::vector<Pid> pids;
    EXPECT_TRUE(test::PollUntil(
        [&] {
          proc.Snapshot(pids);
          ScopedProcess h(proc, child.pid(), access::kRead);
          return proc.WorkingSet(h.get()) >= 16u << 20;
        },
        5000));
    ScopedProcess h(proc, child.pid(), access::kRead);
    ASSERT_TRUE(h);
    EXPECT_EQ(proc.ExitCode(h.get()), 259u);  // STILL_ACTIVE
  }
  real.monitor.ListProcess();
  int row = real.monitor.HaveItem(child.pid());
  ASSERT_NE(row, 0);
  EXPECT_EQ(real.rows.SubItem(row, cell::kName), "kelvar_child.exe");
  EXPECT_TRUE(test::SamePath(real.rows.SubItem(row, cell::kPath), child.path()))
      << real.rows.SubItem(row, cell::kPath);
  EXPECT_GE(std::stoll(real.rows.SubItem(row, cell::kMemory)), 1024);
  EXPECT_EQ(real.rows.SubItem(row, cell::kPriority), "标准");

  // Wine grants the realtime class to an ordinary user (Windows would
  // quietly give "high" without SeIncreaseBasePriorityPrivilege); either is
  // accepted, every other class must read back exactly.
  const struct {
    std::uint32_t value;
    const char* column;
  } classes[] = {{0x0100, "实时"}, {0x0080, "高"},   {0x8000, "较高"},
                 {0x0020, "标准"}, {0x4000, "较低"}, {0x0040, "低"}};
  for (const auto& c : classes) {
    SCOPED_TRACE(c.column);
    EXPECT_NE(SetProClass(proc, child.pid(), c.value), 0u);
    // The column shows the class the next pass reads from the held handle.
    real.monitor.ListProcess();
    const std::string& now = real.rows.SubItem(real.monitor.HaveItem(child.pid()), cell::kPriority);
    if (c.value == 0x0100) {
      EXPECT_TRUE(now == "实时" || now == "高") << now;
    } else {
      EXPECT_EQ(now, c.column);
    }
  }

  EndPro(proc, child.pid(), real.rows.StartTime(row));
  ASSERT_TRUE(child.WaitExit(5000));
  EXPECT_EQ(child.ExitCode(), 0u);
  real.monitor.CheckProcess();
  EXPECT_EQ(real.monitor.HaveItem(child.pid()), 0);
}

// Wine's own services run as 64-bit processes.  The 32-bit build cannot read
// their module list and must name them from the kernel's image name
// (QueryFullProcessImageNameW); the file search then has to look in the real
// System32, not in SysWOW64.
TEST(ProcessOnWin32, ServicesExeIsListedWithItsNameFromEitherBuild) {
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
  EXPECT_FALSE(EnumProcessModules(h, &first, sizeof first, &needed))
      << "the module list is readable: no fallback needed";
  CloseHandle(h);
#endif
  RealMonitor real;
  real.monitor.ListProcess();
  int row = real.monitor.HaveItem(services);
  ASSERT_NE(row, 0);
  EXPECT_EQ(real.rows.SubItem(row, cell::kName), "services.exe");
  std::string path = real.rows.SubItem(row, cell::kPath);
  EXPECT_TRUE(test::SamePath(path, L"C:\\windows\\system32\\services.exe")) << path;
  EXPECT_EQ(real.rows.SubItem(row, cell::kKind), "系统") << "the sample remark file names services.exe";
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The shell the program uses, with FOF_NOCONFIRMATION added so no question
// waits for a click: the file leaves its folder for Wine's trash.
TEST(ShellOnWin32, DeletedFileReachesTheTrash) {
  wchar_t trash[MAX_PATH] = {};
  DWORD n = GetEnvironmentVariableW(L"KELVAR_TRASH", trash, MAX_PATH);
  if (n == 0) GTEST_SKIP() << "KELVAR_TRASH names no trash folder";
  std::wstring name = L"victim" + std::to_wstring(GetTickCount()) + L".exe";
  std::wstring file = test::TestFolder() + L"\\" + name;
  ASSERT_TRUE(CopyFileW((test::TestFolder() + L"\\kelvar_child.exe").c_str(), file.c_str(), FALSE));
  Win32Shell shell(fo::kNoConfirmation);
  modFileWork::DelFile(shell, Narrow(file));
  EXPECT_FALSE(Exists(file));
  EXPECT_TRUE(Exists(std::wstring(trash, n) + L"\\" + name)) << Narrow(trash);
}

// An updater renames the running exe away and puts the new version at its
// path: ending and deleting that process must not trash the new file.
TEST(ShellOnWin32, EndAndDeleteLeavesAFileThatReplacedTheRunningExe) {
  struct Answers : MessageBox, MessagePump {
    std::vector<std::string> texts;
    int Show(const std::string& text, const std::string&, std::uint32_t) override {
      texts.push_back(text);
      return mb::kIdOk;
    }
    void DoEvents() override {}
  } answers;
  const std::wstring base = test::TestFolder() + L"\\updater" + std::to_wstring(GetTickCount());
  const std::wstring exe = base + L".exe", child_exe = test::TestFolder() + L"\\kelvar_child.exe";
  ASSERT_TRUE(CopyFileW(child_exe.c_str(), exe.c_str(), FALSE));
  Child child(0, exe);
  ASSERT_TRUE(child.started());
  RealMonitor real;
  ASSERT_TRUE(test::PollUntil(
      [&] {
        real.monitor.ListProcess();
        return real.monitor.HaveItem(child.pid()) != 0;
      },
      5000));
  real.rows.Select(real.monitor.HaveItem(child.pid()));
  ASSERT_TRUE(MoveFileW(exe.c_str(), (base + L".exe.old").c_str()));
  ASSERT_TRUE(CopyFileW(child_exe.c_str(), exe.c_str(), FALSE));
  Win32Shell shell(fo::kNoConfirmation);
  Commands commands(real.rows, real.monitor,
                    CommandPorts{real.system.proc, real.system.files, answers, answers, shell});
  commands.mnuDelPro_Click();
  EXPECT_TRUE(child.WaitExit(5000));
  EXPECT_TRUE(Exists(exe)) << "the new version was trashed";
  ASSERT_EQ(answers.texts.size(), 2u);
  EXPECT_EQ(answers.texts[1], "进程运行的文件已被删除或替换，没有文件被移到回收站。\r\n\r\n" + Narrow(exe));
  DeleteFileW(exe.c_str());
  DeleteFileW((base + L".exe.old").c_str());
}

}  // namespace
}  // namespace kelvar::win32
