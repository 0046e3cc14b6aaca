// Recording stand-ins for the controls.  The message box and the pump can run
// a test's code while they "wait", as the real ones let timer ticks run.
#pragma once

#include <functional>
#include <map>
#include <vector>

#include "platform/desktop.h"
#include "platform/list_control.h"
#include "platform/menus.h"
#include "platform/message_box.h"
#include "platform/row_view.h"
#include "platform/status_bar.h"
#include "platform/timers.h"
#include "platform/window.h"

namespace kelvar::fake {

struct FakeStatusBar : StatusBar {
  std::map<int, std::string> panels;
  int writes = 0;
  void SetPanelText(int panel, const std::string& text) override { ++writes, panels[panel] = text; }
};

// Counts what the row store tells a list control (rows: inserts, removes, reorders).
struct CountingObserver : RowObserver {
  std::vector<std::pair<int, Column>> cell_writes;  // in order
  int rows = 0, selections = 0;
  int Total() const { return static_cast<int>(cell_writes.size()) + rows + selections; }
  void BeforeInsert(int) override { ++rows; }
  void AfterInsert() override {}
  void BeforeRemove(int) override { ++rows; }
  void AfterRemove() override {}
  void BeforeReorder() override { ++rows; }
  void AfterReorder() override {}
  void CellChanged(int row, Column column) override { cell_writes.emplace_back(row, column); }
  void SelectionChanged() override { ++selections; }
};

struct FakeWindow : Window {
  double screen_w = 15360, screen_h = 11520, outer_w = 8160, outer_h = 7950, left = -1, top = -1;
  int host_w = 0, host_h = 400;
  std::vector<int> list;  // left, top, width, height
  std::vector<bool> topmost_calls;
  bool closed = false;
  double ScreenWidth() override { return screen_w; }
  double ScreenHeight() override { return screen_h; }
  double OuterWidth() override { return outer_w; }
  double OuterHeight() override { return outer_h; }
  void Move(double l, double t) override { left = l, top = t; }
  int ListHostWidth() override { return host_w; }
  int ListHostHeight() override { return host_h; }
  void SetListHostWidth(int w) override { host_w = w; }
  void MoveList(int l, int t, int w, int h) override { list = {l, t, w, h}; }
  void SetTopMost(bool on) override { topmost_calls.push_back(on); }
  void Close() override { closed = true; }
};

// Rows shown are 16 pixels high; HitTest answers by y.
struct FakeList : ListControl {
  std::vector<std::string> columns;
  int rows = 0;
  void AddColumn(const std::string& title, int) override { columns.push_back(title); }
  int ColumnCount() override { return static_cast<int>(columns.size()); }
  void SetColumnAlignment(int, Alignment) override {}
  int HitTest(int, int y) override { return (y >= 0 && y / 16 < rows) ? y / 16 : kNoRow; }
  ScreenPoint RowMenuPoint(int row) override { return {0, row * 16}; }
};

struct FakeMenus : Menus {
  std::map<std::pair<std::string, int>, bool> checked;
  std::vector<std::string> popups;
  bool Checked(std::string_view name, int index) override { return checked[{std::string(name), index}]; }
  void SetChecked(std::string_view name, int i, bool on) override { checked[{std::string(name), i}] = on; }
  void SetEnabled(std::string_view, int, bool) override {}
  void PopupMenu(std::string_view name) override { popups.emplace_back(name); }
  void PopupMenuAt(std::string_view name, int, int) override { popups.emplace_back(name); }
};

struct FakeMessageBox : MessageBox {
  struct Shown {
    std::string text;
    bool question;
    Notice notice;
  };
  std::vector<Shown> shown;
  bool answer = true;
  std::function<void()> while_open;  // runs while the box "waits"
  bool Confirm(const std::string& text) override { return Show(text, true, Notice::kInformation), answer; }
  void Tell(const std::string& text, Notice notice) override { Show(text, false, notice); }
  void Show(const std::string& text, bool question, Notice notice) {
    shown.push_back({text, question, notice});
    if (while_open) while_open();
  }
};

struct FakeTimers : Timers {
  std::vector<std::pair<int, int>> started;
  void Start(int id, int interval_ms) override { started.emplace_back(id, interval_ms); }
};

struct FakePump : MessagePump {
  int calls = 0;
  std::function<void()> on_pump;
  void DoEvents() override {
    ++calls;
    if (on_pump) on_pump();
  }
};

// Records each request as "verb file".
struct FakeDesktop : Desktop {
  std::vector<std::string> requests;
  void ShowProperties(const std::string& file) override { requests.push_back("properties " + file); }
  void OpenFolder(const std::string& folder) override { requests.push_back("folder " + folder); }
  void OpenAddress(const std::string& address) override { requests.push_back("address " + address); }
  FileIdentity confirmed;  // what the last move to the trash was to find
  TrashResult trash_result = TrashResult::kDone;
  TrashResult MoveToTrash(const std::string& file, const FileIdentity& file_confirmed) override {
    requests.push_back("trash " + file);
    confirmed = file_confirmed;
    return trash_result;
  }
};

}  // namespace kelvar::fake
