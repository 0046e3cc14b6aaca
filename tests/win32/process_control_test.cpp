// The Win32 adapters on real Wine processes and files.
#include <gtest/gtest.h>

#include "actions/commands.h"
#include "fake/fake_controls.h"
#include "monitor/process_monitor.h"
#include "platform/win32/controls_win32.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_system.h"
#include "procinfo/message_field.h"
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
  ProcessMonitor monitor{rows, MonitorPorts{system.processes, system.files, system.dirs, system.profile,
                                            system.sizes, system.icons, images, status}};
  RealMonitor() { monitor.SetRemarkFile(GetAppPath(system.dirs) + "Comment\\system.ini"); }
  ~RealMonitor() { DestroyWindow(host); }
  std::string Cell(Pid pid, int column) { return std::string(rows.Text(monitor.RowOf(pid), column)); }
  // Lists until `pid` has a row using at least `kb` kilobytes.
  bool Lists(Pid pid, long long kb = 0) {
    return test::PumpUntil(
        [&] {
          monitor.ListProcess();
          return monitor.RowOf(pid) != 0 && (kb == 0 || std::stoll(Cell(pid, column::kMemory)) >= kb);
        },
        5000);
  }
};

TEST(ProcessOnWin32, ChildIsListedSteeredAndEndedAndItsRowLeavesWithinOneSweep) {
  RealMonitor real;
  test::Child child(16);
  ASSERT_TRUE(real.Lists(child.pid(), 16384)) << "the working set of the child's 16 MB";
  EXPECT_EQ(real.Cell(child.pid(), column::kName), "kelvar_child.exe");
  EXPECT_EQ(lstrcmpiW(Widen(real.Cell(child.pid(), column::kPath)).c_str(), child.path().c_str()), 0);
  EXPECT_EQ(real.Cell(child.pid(), column::kPriority), "标准");
  const ProcessId id = real.rows.Row(real.monitor.RowOf(child.pid())).id;
  EXPECT_FALSE(real.system.processes.End({id.pid, id.start + 1}));  // a reused pid is left alone

  // Wine grants realtime to an ordinary user where Windows quietly gives
  // "high": either is accepted; every other class reads back exactly.
  for (auto [priority, value, name] : {std::tuple{Priority::kRealtime, 0x100u, "实时"},
                                       {Priority::kHigh, 0x80u, "高"},
                                       {Priority::kAboveNormal, 0x8000u, "较高"},
                                       {Priority::kNormal, 0x20u, "标准"},
                                       {Priority::kBelowNormal, 0x4000u, "较低"},
                                       {Priority::kIdle, 0x40u, "低"}}) {
    EXPECT_EQ(PriorityClassValue(priority), value);
    EXPECT_EQ(PriorityOfClass(value), priority);
    EXPECT_TRUE(real.system.processes.SetPriority(id, priority)) << value;
    real.monitor.ListProcess();
    const std::string now = real.Cell(child.pid(), column::kPriority);
    EXPECT_TRUE(now == name || (value == 0x100 && now == "高")) << value << " " << now;
  }

  EXPECT_TRUE(real.system.processes.End(id));
  ASSERT_EQ(WaitForSingleObject(child.handle(), 5000), WAIT_OBJECT_0);
  DWORD code = 1;
  EXPECT_TRUE(GetExitCodeProcess(child.handle(), &code) && code == 0) << code;
  real.monitor.CheckProcess();
  EXPECT_EQ(real.monitor.RowOf(child.pid()), 0);
}

// The 32-bit build cannot read the module list of Wine's 64-bit services:
// it must name them from the kernel's image name and search the real
// System32, not SysWOW64.
TEST(ProcessOnWin32, ServicesExeIsListedWithItsNameFromEitherBuild) {
  Pid services = 0;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL ok = Process32FirstW(snap, &entry); ok; ok = Process32NextW(snap, &entry))
    if (lstrcmpiW(entry.szExeFile, L"services.exe") == 0) services = static_cast<Pid>(entry.th32ProcessID);
  CloseHandle(snap);
  RealMonitor real;
  ASSERT_TRUE(real.Lists(services));
  EXPECT_EQ(real.Cell(services, column::kName), "services.exe");
  EXPECT_EQ(
      lstrcmpiW(Widen(real.Cell(services, column::kPath)).c_str(), L"C:\\windows\\system32\\services.exe"),
      0);
  EXPECT_EQ(real.Cell(services, column::kKind), "系统") << "the sample remark file names services.exe";
  EXPECT_EQ(real.system.files.FindFileName("\\\\?\\C:\\windows\\system32\\services.exe"), "services.exe");
  EXPECT_EQ(real.system.files.FindFileName("C:\\windows\\system32\\servic?s.exe"), "");
}

// The program's shell call, with FOF_NOCONFIRMATION so nothing waits for a
// click: the file leaves its folder for Wine's trash.
TEST(ShellOnWin32, DeletedFileReachesTheTrash) {
  wchar_t trash[MAX_PATH] = {};
  DWORD n = GetEnvironmentVariableW(L"KELVAR_TRASH", trash, MAX_PATH);
  if (n == 0) GTEST_SKIP() << "KELVAR_TRASH names no trash folder";
  std::wstring name = L"victim" + std::to_wstring(GetTickCount()) + L".exe";
  std::wstring file = test::TestFolder() + L"\\" + name;
  ASSERT_TRUE(CopyFileW((test::TestFolder() + L"\\kelvar_child.exe").c_str(), file.c_str(), FALSE));
  Win32Shell(FOF_NOCONFIRMATION).MoveToTrash(Narrow(file));
  EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(GetFileAttributesW((std::wstring(trash, n) + L"\\" + name).c_str()), INVALID_FILE_ATTRIBUTES);
}

// An updater renames the running exe away and puts the new version at its
// path: ending and deleting that process must not trash the new file.
TEST(ShellOnWin32, EndAndDeleteLeavesAFileThatReplacedTheRunningExe) {
  fake::FakeMessageBox box;
  fake::FakePump pump;
  const std::wstring exe = test::TestFolder() + L"\\updater" + std::to_wstring(GetTickCount()) + L".exe";
  const std::wstring child_exe = test::TestFolder() + L"\\kelvar_child.exe";
  ASSERT_TRUE(CopyFileW(child_exe.c_str(), exe.c_str(), FALSE));
  test::Child child(0, exe);
  RealMonitor real;
  ASSERT_TRUE(real.Lists(child.pid()));
  real.rows.Select(real.monitor.RowOf(child.pid()));
  ASSERT_TRUE(MoveFileW(exe.c_str(), (exe + L".old").c_str()));
  ASSERT_TRUE(CopyFileW(child_exe.c_str(), exe.c_str(), FALSE));
  Win32Shell shell(FOF_NOCONFIRMATION);
  Commands(real.rows, real.monitor, CommandPorts{real.system.processes, real.system.files, box, pump, shell})
      .EndSelectedAndTrash();
  EXPECT_EQ(WaitForSingleObject(child.handle(), 5000), WAIT_OBJECT_0);
  EXPECT_NE(GetFileAttributesW(exe.c_str()), INVALID_FILE_ATTRIBUTES) << "the new version was trashed";
  ASSERT_EQ(box.shown.size(), 2u);
  EXPECT_EQ(box.shown[1].text,
            "进程运行的文件已被删除或替换，没有文件被移到回收站。\r\n\r\n" + MessageField(Narrow(exe)));
  DeleteFileW(exe.c_str());
  DeleteFileW((exe + L".old").c_str());
}

// The rights each open asks for, the shell's requests and the boxes' styles,
// as the Windows headers number them.
TEST(CallsOnWin32, RightsFlagsAndStyles) {
  EXPECT_EQ(kReadAccess, 0x0410u);
  EXPECT_EQ(kEndAccess, 0x1001u);
  EXPECT_EQ(kSetClassAccess, 0x1200u);
  const HWND owner = reinterpret_cast<HWND>(0x1234);
  const std::wstring file = L"C:\\x\\abc.exe";
  const SHELLEXECUTEINFOW properties = PropertiesRequest(owner, file);
  EXPECT_EQ(properties.fMask, 0x044Cu);
  EXPECT_EQ(properties.hwnd, owner);
  EXPECT_STREQ(properties.lpVerb, L"properties");
  EXPECT_EQ(properties.nShow, 0);
  const SHFILEOPSTRUCTW trash = TrashRequest(file, 0);
  EXPECT_EQ(trash.wFunc, 3u);
  EXPECT_EQ(trash.fFlags, 0x40u);
  EXPECT_EQ(kFolderShow, 1);
  EXPECT_EQ(kAddressShow, 4);
  EXPECT_EQ(kConfirmStyle, 0x31u);
  EXPECT_EQ(NoticeStyle(Notice::kInformation), 0x40u);
  EXPECT_EQ(NoticeStyle(Notice::kError), 0x10u);
}

}  // namespace
}  // namespace kelvar::win32
