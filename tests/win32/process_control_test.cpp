// The Win32 adapters on real Wine processes and files: a child listed,
// steered and ended; services.exe named from either build; the trash.
#include <gtest/gtest.h>

#include <algorithm>

#include "actions/commands.h"
#include "monitor/process_monitor.h"
#include "platform/scoped_process.h"
#include "platform/win32/controls_win32.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_system.h"
#include "procinfo/message_field.h"
#include "procinfo/priority.h"
#include "test_support.h"
#include "ui/main_form.h"

namespace kelvar::win32 {
namespace {

// A monitor over the real adapters and real controls on a hidden window.
struct RealMonitor {
  HWND host =
      CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 100, nullptr, nullptr, nullptr, nullptr);
  Win32ImageList images;
  Win32StatusBar status{host, 1, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), 96};
  Win32System system;
  RowStore rows;
  ProcessMonitor monitor{rows, MonitorPorts{system.proc, system.files, system.dirs, system.profile,
                                            system.sizes, system.icons, images, status}};
  RealMonitor() { monitor.SetRemarkFile(GetAppPath(system.dirs) + "Comment\\system.ini"); }
  ~RealMonitor() { DestroyWindow(host); }
  const std::string& Cell(Pid pid, int sub) { return rows.SubItem(monitor.RowOf(pid), sub); }
};

TEST(ProcessOnWin32, ChildIsListedSteeredAndEndedAndItsRowLeavesWithinOneSweep) {
  RealMonitor real;
  ProcessControl& proc = real.system.proc;
  test::Child child(16);
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
    EXPECT_EQ(proc.ExitCode(h.get()), 259u);  // still active
  }
  real.monitor.ListProcess();
  int row = real.monitor.RowOf(child.pid());
  ASSERT_NE(row, 0);
  EXPECT_EQ(real.Cell(child.pid(), cell::kName), "kelvar_child.exe");
  EXPECT_TRUE(test::SamePath(real.Cell(child.pid(), cell::kPath), child.path()));
  EXPECT_GE(std::stoll(real.Cell(child.pid(), cell::kMemory)), 1024);
  EXPECT_EQ(real.Cell(child.pid(), cell::kPriority), "标准");

  // Wine grants the realtime class to an ordinary user (Windows would
  // quietly give "high" without SeIncreaseBasePriorityPrivilege); either is
  // accepted, every other class must read back exactly.
  for (auto [value, name] : {std::pair<std::uint32_t, std::string_view>{0x100, "实时"},
                             {0x80, "高"},
                             {0x8000, "较高"},
                             {0x20, "标准"},
                             {0x4000, "较低"},
                             {0x40, "低"}}) {
    EXPECT_NE(ApplyPriorityClass(proc, child.pid(), value), 0u) << value;
    // The column shows the class the next pass reads from the held handle.
    real.monitor.ListProcess();
    const std::string& now = real.Cell(child.pid(), cell::kPriority);
    EXPECT_TRUE(now == name || (value == 0x100 && now == "高")) << value << " " << now;
  }

  EndProcess(proc, child.pid(), real.rows.StartTime(row));
  ASSERT_EQ(WaitForSingleObject(child.handle(), 5000), WAIT_OBJECT_0);
  DWORD code = 1;
  EXPECT_TRUE(GetExitCodeProcess(child.handle(), &code) && code == 0) << code;
  real.monitor.CheckProcess();
  EXPECT_EQ(real.monitor.RowOf(child.pid()), 0);
}

// Wine's own services run as 64-bit processes.  The 32-bit build cannot read
// their module list and must name them from the kernel's image name; the
// file search then has to look in the real System32, not in SysWOW64.
TEST(ProcessOnWin32, ServicesExeIsListedWithItsNameFromEitherBuild) {
  Pid services = 0;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL ok = Process32FirstW(snap, &entry); ok; ok = Process32NextW(snap, &entry))
    if (lstrcmpiW(entry.szExeFile, L"services.exe") == 0) services = static_cast<Pid>(entry.th32ProcessID);
  CloseHandle(snap);
  ASSERT_NE(services, 0);
#ifndef _WIN64
  HANDLE h = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, static_cast<DWORD>(services));
  ASSERT_TRUE(h);
  HMODULE first = nullptr;
  DWORD needed = 0;
  EXPECT_FALSE(EnumProcessModules(h, &first, sizeof first, &needed)) << "the module list is readable";
  CloseHandle(h);
#endif
  RealMonitor real;
  real.monitor.ListProcess();
  ASSERT_NE(real.monitor.RowOf(services), 0);
  EXPECT_EQ(real.Cell(services, cell::kName), "services.exe");
  EXPECT_TRUE(test::SamePath(real.Cell(services, cell::kPath), L"C:\\windows\\system32\\services.exe"));
  EXPECT_EQ(real.Cell(services, cell::kKind), "系统") << "the sample remark file names services.exe";
}

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
  trash::DelFile(shell, Narrow(file));
  EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(GetFileAttributesW((std::wstring(trash, n) + L"\\" + name).c_str()), INVALID_FILE_ATTRIBUTES);
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
  test::Child child(0, exe);
  ASSERT_TRUE(child.started());
  RealMonitor real;
  ASSERT_TRUE(test::PollUntil(
      [&] {
        real.monitor.ListProcess();
        return real.monitor.RowOf(child.pid()) != 0;
      },
      5000));
  real.rows.Select(real.monitor.RowOf(child.pid()));
  ASSERT_TRUE(MoveFileW(exe.c_str(), (base + L".exe.old").c_str()));
  ASSERT_TRUE(CopyFileW(child_exe.c_str(), exe.c_str(), FALSE));
  Win32Shell shell(fo::kNoConfirmation);
  Commands commands(real.rows, real.monitor,
                    CommandPorts{real.system.proc, real.system.files, answers, answers, shell});
  commands.EndSelectedAndTrash();
  EXPECT_EQ(WaitForSingleObject(child.handle(), 5000), WAIT_OBJECT_0);
  EXPECT_NE(GetFileAttributesW(exe.c_str()), INVALID_FILE_ATTRIBUTES) << "the new version was trashed";
  ASSERT_EQ(answers.texts.size(), 2u);
  EXPECT_EQ(answers.texts[1],
            "进程运行的文件已被删除或替换，没有文件被移到回收站。\r\n\r\n" + MessageField(Narrow(exe)));
  DeleteFileW(exe.c_str());
  DeleteFileW((base + L".exe.old").c_str());
}

}  // namespace
}  // namespace kelvar::win32
