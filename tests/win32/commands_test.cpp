// The end and end-and-delete commands through the real window, message box
// and shell under Wine: the question names the process or the file, OK ends
// the process with exit code 0 and its row goes within a sweep, and the
// deleted file lands in the trash Wine keeps for the Recycle Bin.
#include "modal_watcher.h"
#include "platform/win32/wide_text.h"
#include "window_fixture.h"

namespace kelvar::win32::test {
namespace {

// Answers the program's question with `button` and keeps its text.
class Answer {
 public:
  explicit Answer(int button)
      : watcher_([this, button] {
          HWND box = OpenMessageBox(L"Kelvar进程管理");
          if (!box) return false;
          text_ = MessageBoxText(box);
          has_cancel_ = GetDlgItem(box, IDCANCEL) != nullptr;
          PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
          return true;
        }) {}
  std::string text() const { return Narrow(text_); }
  bool asked() const { return watcher_.done(); }
  bool has_cancel() const { return has_cancel_; }

 private:
  std::wstring text_;
  bool has_cancel_ = false;
  ModalWatcher watcher_;
};

TEST_F(WindowTest, EndProcessAsksThenEndsWithExitCodeZeroAndTheRowGoes) {
  Child child;
  ASSERT_TRUE(child.started());
  int row = RowOfChild(child);
  ASSERT_NE(row, 0);
  rows().Select(row);
  Answer answer(IDOK);
  Command("mnuEndPro");
  EXPECT_TRUE(answer.asked());
  EXPECT_EQ(answer.text(), "确定要结束进程 kelvar_child.exe 吗？");
  EXPECT_TRUE(answer.has_cancel());
  ASSERT_TRUE(child.WaitExit(5000));
  EXPECT_EQ(child.ExitCode(), 0u);
  EXPECT_TRUE(PumpUntil([&] { return form().Monitor().HaveItem(child.pid()) == 0; }, 3000));
}

TEST_F(WindowTest, CancelLeavesTheProcessRunning) {
  Child child;
  ASSERT_TRUE(child.started());
  int row = RowOfChild(child);
  ASSERT_NE(row, 0);
  rows().Select(row);
  Answer answer(IDCANCEL);
  Command("mnuEndPro");
  EXPECT_TRUE(answer.asked());
  EXPECT_FALSE(child.WaitExit(300));
}

std::wstring TrashFolder() {
  wchar_t buf[MAX_PATH] = {};
  DWORD n = GetEnvironmentVariableW(L"KELVAR_TRASH", buf, MAX_PATH);
  return std::wstring(buf, n);
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

TEST_F(WindowTest, EndAndDeleteSendsTheExecutableToTheTrash) {
  std::wstring trash = TrashFolder();
  if (trash.empty()) GTEST_SKIP() << "KELVAR_TRASH names no trash folder";
  std::wstring folder = TestFolder() + L"\\victims";
  CreateDirectoryW(folder.c_str(), nullptr);
  std::wstring name = L"victim" + std::to_wstring(GetTickCount()) + L".exe";
  std::wstring exe = folder + L"\\" + name;
  ASSERT_TRUE(CopyFileW((TestFolder() + L"\\kelvar_child.exe").c_str(), exe.c_str(), FALSE));
  Child child(0, exe);
  ASSERT_TRUE(child.started());
  int row = RowOfChild(child);
  ASSERT_NE(row, 0);
  rows().Select(row);
  Answer answer(IDOK);
  Command("mnuDelPro");
  EXPECT_EQ(answer.text(), "确定要结束进程并删除以下文件吗？\r\n\r\n" + Narrow(exe));
  ASSERT_TRUE(child.WaitExit(5000));
  EXPECT_EQ(child.ExitCode(), 0u);
  EXPECT_FALSE(Exists(exe));
  EXPECT_TRUE(Exists(trash + L"\\" + name)) << Narrow(trash);
}

}  // namespace
}  // namespace kelvar::win32::test
