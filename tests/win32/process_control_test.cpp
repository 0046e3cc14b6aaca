// The Win32 adapters on real Wine processes and files: a child listed,
// steered and ended; services.exe named from either build; the trash; the
// rights, flags and styles of the calls the adapters make.
#include <gtest/gtest.h>

#include <algorithm>

#include "actions/commands.h"
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
};

TEST(ProcessOnWin32, ChildIsListedSteeredAndEndedAndItsRowLeavesWithinOneSweep) {
  RealMonitor real;
  ProcessSource& processes = real.system.processes;
  test::Child child(16);
  ASSERT_TRUE(child.started());
  {
    // The working set grows, pass by pass, while the child touches its pages.
    std::vector<Pid> pids;
    ProcessRecord record;
    ASSERT_TRUE(test::PollUntil(
        [&] {
          processes.Snapshot(pids);
          return processes.Read(child.pid(), false, record) && record.working_set >= 16u << 20;
        },
        5000));
    FileIdentity image;
    EXPECT_EQ(processes.Look(record.id, image), Liveness::kRunning);
    EXPECT_FALSE(processes.End({child.pid(), record.id.start + 1}));  // not its start: nothing happens
  }
  real.monitor.ListProcess();
  int row = real.monitor.RowOf(child.pid());
  ASSERT_NE(row, 0);
  EXPECT_EQ(real.Cell(child.pid(), column::kName), "kelvar_child.exe");
  EXPECT_TRUE(test::SamePath(real.Cell(child.pid(), column::kPath), child.path()));
  EXPECT_GE(std::stoll(real.Cell(child.pid(), column::kMemory)), 1024);
  EXPECT_EQ(real.Cell(child.pid(), column::kPriority), "标准");

  // Wine grants the realtime class to an ordinary user (Windows would
  // quietly give "high" without SeIncreaseBasePriorityPrivilege); either is
  // accepted, every other class must read back exactly.
  const ProcessId id = real.rows.Row(row).id;
  for (auto [priority, value, name] : {std::tuple{Priority::kRealtime, 0x100u, "实时"},
                                       {Priority::kHigh, 0x80u, "高"},
                                       {Priority::kAboveNormal, 0x8000u, "较高"},
                                       {Priority::kNormal, 0x20u, "标准"},
                                       {Priority::kBelowNormal, 0x4000u, "较低"},
                                       {Priority::kIdle, 0x40u, "低"}}) {
    EXPECT_EQ(PriorityClassValue(priority), value);
    EXPECT_EQ(PriorityOfClass(value), priority);
    EXPECT_TRUE(processes.SetPriority(id, priority)) << value;
    // The column shows the class the next pass reads from the held handle.
    real.monitor.ListProcess();
    const std::string now = real.Cell(child.pid(), column::kPriority);
    EXPECT_TRUE(now == name || (value == 0x100 && now == "高")) << value << " " << now;
  }

  EXPECT_TRUE(processes.End(id));
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
  EXPECT_EQ(real.Cell(services, column::kName), "services.exe");
  EXPECT_TRUE(test::SamePath(real.Cell(services, column::kPath), L"C:\\windows\\system32\\services.exe"));
  EXPECT_EQ(real.Cell(services, column::kKind), "系统") << "the sample remark file names services.exe";
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
  Win32Shell shell(FOF_NOCONFIRMATION);
  shell.MoveToTrash(Narrow(file));
  EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(GetFileAttributesW((std::wstring(trash, n) + L"\\" + name).c_str()), INVALID_FILE_ATTRIBUTES);
}

// An updater renames the running exe away and puts the new version at its
// path: ending and deleting that process must not trash the new file.
TEST(ShellOnWin32, EndAndDeleteLeavesAFileThatReplacedTheRunningExe) {
  struct Answers : MessageBox, MessagePump {
    std::vector<std::string> texts;
    bool Confirm(const std::string& text) override {
      texts.push_back(text);
      return true;
    }
    void Tell(const std::string& text, Notice) override { texts.push_back(text); }
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
  Win32Shell shell(FOF_NOCONFIRMATION);
  Commands commands(real.rows, real.monitor,
                    CommandPorts{real.system.processes, real.system.files, answers, answers, shell});
  commands.EndSelectedAndTrash();
  EXPECT_EQ(WaitForSingleObject(child.handle(), 5000), WAIT_OBJECT_0);
  EXPECT_NE(GetFileAttributesW(exe.c_str()), INVALID_FILE_ATTRIBUTES) << "the new version was trashed";
  ASSERT_EQ(answers.texts.size(), 2u);
  EXPECT_EQ(answers.texts[1],
            "进程运行的文件已被删除或替换，没有文件被移到回收站。\r\n\r\n" + MessageField(Narrow(exe)));
  DeleteFileW(exe.c_str());
  DeleteFileW((base + L".exe.old").c_str());
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
  EXPECT_EQ(properties.lpFile, file.c_str());
  EXPECT_EQ(properties.nShow, 0);
  const SHFILEOPSTRUCTW trash = TrashRequest(file, 0);
  EXPECT_EQ(trash.wFunc, 3u);
  EXPECT_EQ(trash.fFlags, 0x40u);
  EXPECT_EQ(trash.hwnd, nullptr);
  EXPECT_EQ(kFolderShow, 1);
  EXPECT_EQ(kAddressShow, 4);
  EXPECT_EQ(kConfirmStyle, 0x31u);
  EXPECT_EQ(NoticeStyle(Notice::kInformation), 0x40u);
  EXPECT_EQ(NoticeStyle(Notice::kError), 0x10u);
}

}  // namespace
}  // namespace kelvar::win32
