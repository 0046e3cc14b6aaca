// The Win32 adapters on real Wine processes and files.
#include "platform/win32/win32_api.h"

#include <aclapi.h>
#include <gtest/gtest.h>

#include "fake/fake_controls.h"
#include "platform/win32/file_identity_win32.h"
#include "platform/win32/recycle_win32.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/wow64_path.h"
#include "procinfo/message_field.h"
#include "test_support.h"
#include "ui/main_form.h"

namespace kelvar::win32 {
namespace {

// A monitor over the real adapters and the real image list.
struct RealMonitor {
  Win32ImageList images;
  Win32System system;
  RowStore rows;
  ProcessMonitor monitor{
      rows, MonitorPorts{system.processes, system.files, system.dirs, system.profile, system.icons, images}};
  RealMonitor() { monitor.SetRemarkFile(GetAppPath(system.dirs) + "Comment\\system.ini"); }
  std::string Cell(Pid pid, Column column) { return rows.Text(monitor.RowOf(pid), column); }
  bool Lists(Pid pid, long long kb = 0) {  // refreshes until `pid` has a row of at least `kb` KB
    const auto big = [&] { return kb == 0 || std::stoll(Cell(pid, Column::kMemory)) >= kb; };
    return test::PumpUntil([&] { return monitor.Refresh(), monitor.RowOf(pid) != kNoRow && big(); }, 5000);
  }
};

bool Exists(const std::wstring& file) { return GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Listed with its memory, steered through each class, ended with exit code
// 0 (never as a reused PID) and gone at the next sweep.
TEST(ProcessOnWin32, ChildIsListedSteeredAndEndedAndItsRowLeavesWithinOneSweep) {
  RealMonitor real;
  test::Child child(16);
  ASSERT_TRUE(real.Lists(child.pid(), 16384)) << "the working set of the child's 16 MB";
  // The long-path form of a drive path is found; a wildcard finds nothing.
  EXPECT_EQ(real.system.files.FindFileName("\\\\?\\" + Narrow(child.path())), "kelvar_child.exe");
  EXPECT_EQ(real.system.files.FindFileName(Narrow(test::TestFolder()) + "\\kelvar_chil?.exe"), "");
  const ProcessId id = real.rows.Row(real.monitor.RowOf(child.pid())).id;
  EXPECT_FALSE(real.system.processes.End({id.pid, id.start + 1}));
  // Wine grants realtime to an ordinary user where Windows quietly gives
  // "high", so either is accepted there.
  const std::pair<DWORD, std::string> classes[] = {{0x100, "实时"}, {0x80, "高"},     {0x8000, "较高"},
                                                   {0x20, "标准"},  {0x4000, "较低"}, {0x40, "低"}};
  for (const auto& [value, name] : classes) {
    EXPECT_TRUE(real.system.processes.SetPriority(id, PriorityOfClass(value))) << value;
    real.monitor.Refresh();
    const std::string now = real.Cell(child.pid(), Column::kPriority);
    EXPECT_TRUE(now == name || (value == 0x100 && now == "高")) << value << " " << now;
  }
  EXPECT_TRUE(real.system.processes.End(id));
  DWORD code = 1;
  ASSERT_EQ(WaitForSingleObject(child.handle(), 5000), WAIT_OBJECT_0);
  EXPECT_TRUE(GetExitCodeProcess(child.handle(), &code) && code == 0) << code;
  real.monitor.Sweep();
  EXPECT_EQ(real.monitor.RowOf(child.pid()), kNoRow);
}

// Lets everyone open `process` for reading, or no one: a process may set
// its own security so.  A handle keeps the rights it was opened with.
bool SetReadAccess(HANDLE process, bool readable) {
  wchar_t everyone[] = L"EVERYONE";
  EXPLICIT_ACCESSW entries[2]{};  // denial first, as Windows orders them
  BuildExplicitAccessWithNameW(&entries[0], everyone, kReadAccess, DENY_ACCESS, NO_INHERITANCE);
  BuildExplicitAccessWithNameW(&entries[1], everyone, PROCESS_ALL_ACCESS, GRANT_ACCESS, NO_INHERITANCE);
  PACL acl = nullptr;
  if (SetEntriesInAclW(readable ? 1 : 2, entries + readable, nullptr, &acl) != ERROR_SUCCESS) return false;
  const DWORD set =
      SetSecurityInfo(process, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, acl, nullptr);
  LocalFree(acl);
  return set == ERROR_SUCCESS;
}

// Two children trade places: the one that refused gets its row at the first
// pass after it can be read, the one that now refuses loses its row at the sweep.
TEST(ProcessOnWin32, ARowFollowsTheReadAccessOfItsProcess) {
  RealMonitor real;
  test::Child a, b;
  test::Child *refusing = &a, *giving = &b;
  ASSERT_TRUE(SetReadAccess(a.handle(), false));
  real.monitor.Refresh();
  EXPECT_EQ(real.monitor.RowOf(a.pid()), kNoRow);
  ASSERT_NE(real.monitor.RowOf(b.pid()), kNoRow);
  for (int round = 0; round < 2; ++round, std::swap(refusing, giving)) {
    SCOPED_TRACE(round);
    ASSERT_TRUE(SetReadAccess(refusing->handle(), true) && SetReadAccess(giving->handle(), false));
    real.monitor.Sweep();
    real.monitor.Refresh();
    EXPECT_NE(real.monitor.RowOf(refusing->pid()), kNoRow) << "asked again";
    EXPECT_EQ(real.monitor.RowOf(giving->pid()), kNoRow) << "the sweep sees what a new open sees";
  }
}

// An updater renames the running exe away and puts a new one at its path once
// the shell has its answer: end and delete leaves it; the shell's own call trashes it.
TEST(ShellOnWin32, EndAndDeleteLeavesAFileThatReplacedTheRunningExe) {
  const std::wstring child_exe = test::TestFolder() + L"\\kelvar_child.exe",
                     name = L"updater" + std::to_wstring(GetTickCount()) + L".exe",
                     exe = test::TestFolder() + L"\\" + name, old = exe + L".old";
  ASSERT_TRUE(CopyFileW(child_exe.c_str(), exe.c_str(), FALSE));
  const test::RemovedAtEnd removed(old.c_str(), &DeleteFileW);
  test::Child child(0, exe);
  RealMonitor real;
  ASSERT_TRUE(real.Lists(child.pid()));
  real.rows.Select(real.monitor.RowOf(child.pid()));
  fake::FakeMessageBox box;
  fake::FakePump pump;
  Win32Shell shell(FOF_NOCONFIRMATION);
  shell.SetBeforeMove([&] {
    EXPECT_TRUE(MoveFileW(exe.c_str(), old.c_str()) && CopyFileW(child_exe.c_str(), exe.c_str(), FALSE));
  });
  Commands(real.rows, real.monitor, CommandPorts{real.system.processes, real.system.files, box, pump, shell})
      .EndSelectedAndTrash();
  EXPECT_EQ(WaitForSingleObject(child.handle(), 5000), WAIT_OBJECT_0);
  EXPECT_TRUE(Exists(exe) && Exists(old)) << "the new version was trashed, or none was put there";
  ASSERT_EQ(box.shown.size(), 2u);
  EXPECT_EQ(box.shown[1].text,
            "进程运行的文件已被删除或替换，没有文件被移到回收站。\r\n\r\n" + MessageField(Narrow(exe)));
  shell.SetBeforeMove({});
  shell.MoveToTrash(Narrow(exe), {});
  EXPECT_FALSE(Exists(exe));
  const wchar_t* trash = _wgetenv(L"KELVAR_TRASH");  // Wine's trash folder, when the run names it
  EXPECT_TRUE(!trash || !*trash || Exists(trash + (L"\\" + name)));
}

// The shell's engine calls its sink just before it moves the file: the sink
// lets the confirmed file go and stops another put at the path.
TEST(ShellOnWin32, TheEnginesSinkStopsTheMoveOfAnotherFile) {
  const std::wstring file = test::TestFolder() + L"\\sink" + std::to_wstring(GetTickCount()) + L".exe",
                     old = file + L".old", child_exe = test::TestFolder() + L"\\kelvar_child.exe";
  const test::RemovedAtEnd removed(file.c_str(), &DeleteFileW), removed_old(old.c_str(), &DeleteFileW);
  auto put = [&] { return CopyFileW(child_exe.c_str(), file.c_str(), FALSE) != 0; };
  ASSERT_TRUE(put());
  const FileIdentity confirmed = IdentityOfFile(file);
  IShellItem* item = nullptr;
  ASSERT_EQ(SHCreateItemFromParsingName(file.c_str(), nullptr, IID_PPV_ARGS(&item)), S_OK);
  for (bool swap : {false, true}) {
    RecycleSink sink(file, confirmed,
                     [&] { EXPECT_TRUE(!swap || (MoveFileW(file.c_str(), old.c_str()) && put())); });
    IFileOperationProgressSink& engine_side = sink;
    EXPECT_EQ(engine_side.PreDeleteItem(TSF_DELETE_RECYCLE_IF_POSSIBLE, item),
              swap ? HRESULT_FROM_WIN32(ERROR_CANCELLED) : S_OK);
    EXPECT_EQ(sink.Refused(), swap);
  }
  item->Release();
}

// A 64-bit program only in System32, as services.exe is: its row names System32
// and has an icon in either build, the 32-bit one reaching it through Sysnative.
TEST(IconsOnWin32, AProgramOnlyInSystem32HasAnIcon) {
  wchar_t from[MAX_PATH] = {}, dir[MAX_PATH] = {};
  if (!GetEnvironmentVariableW(L"KELVAR_CHILD64", from, MAX_PATH))
    GTEST_SKIP() << "KELVAR_CHILD64 names no 64-bit kelvar_child.exe (scripts/windows.sh --test sets it)";
  const std::wstring system32 = std::wstring(dir, GetSystemDirectoryW(dir, MAX_PATH)) +
                                L"\\kelvar_only_here" + std::to_wstring(GetTickCount()) + L".exe",
                     file = NativeFilePath(system32);
  ASSERT_TRUE(CopyFileW(from, file.c_str(), FALSE));
  const test::RemovedAtEnd removed(file.c_str(), &DeleteFileW);
  test::Child child(0, file);  // ended before its file goes
  RealMonitor real;
  ASSERT_TRUE(real.Lists(child.pid()));
  const std::string shown = real.Cell(child.pid(), Column::kPath);
  EXPECT_EQ(lstrcmpiW(Widen(shown).c_str(), system32.c_str()), 0) << shown;
  EXPECT_NE(real.images.IndexOf(shown), -1) << "no icon for " << shown;
}

// The rights each open asks for, the shell's requests and the boxes' styles,
// as the Windows headers number them.
TEST(CallsOnWin32, RightsFlagsAndStyles) {
  EXPECT_EQ(std::tuple(kReadAccess, kEndAccess, kSetClassAccess), std::tuple(0x0410u, 0x1001u, 0x1200u));
  const HWND owner = reinterpret_cast<HWND>(0x1234);
  const SHELLEXECUTEINFOW p = PropertiesRequest(owner, L"C:\\x\\abc.exe");
  EXPECT_EQ(std::tuple(p.fMask, p.hwnd, std::wstring(p.lpVerb), p.nShow),
            std::tuple(0x044Cu, owner, std::wstring(L"properties"), 0));
  const SHFILEOPSTRUCTW trash = TrashRequest(L"C:\\x\\abc.exe", 0);
  EXPECT_EQ(std::tuple(trash.wFunc, trash.fFlags), std::tuple(3u, 0x40u));
  EXPECT_EQ(std::tuple(kFolderShow, kAddressShow, kConfirmStyle), std::tuple(1, 4, 0x31u));
  EXPECT_EQ(std::tuple(NoticeStyle(Notice::kInformation), NoticeStyle(Notice::kError)),
            std::tuple(0x40u, 0x10u));
}

}  // namespace
}  // namespace kelvar::win32
