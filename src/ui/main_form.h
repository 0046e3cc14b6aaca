// MainForm, the one window of the program, as portable code: it owns the row
// store behind the list, the monitor with the remark file path, and the
// totals its status bar shows, and answers the window's events (load, resize, column
// click, mouse down, menu command, timer ticks) by acting only through the
// ports.  The native windows of the two programs build their controls from
// ui/form_definition.h and hand every event to this class.
#pragma once

#include <string>

#include "actions/commands.h"
#include "monitor/process_monitor.h"
#include "monitor/row_store.h"
#include "platform/columns.h"
#include "platform/desktop.h"
#include "platform/list_control.h"
#include "platform/menus.h"
#include "platform/message_box.h"
#include "platform/size_formatter.h"
#include "platform/status_bar.h"
#include "platform/timers.h"
#include "platform/window.h"
#include "ui/form_definition.h"

namespace kelvar {

// The window's own controls and services, beside the monitor's ports.
struct FormPorts {
  Window& window;
  ListControl& list;  // the list
  Menus& menus;
  MessageBox& msgbox;
  Timers& timers;
  MessagePump& pump;
  Desktop& desktop;
  StatusBar& status;
  SizeFormatter& sizes;  // the memory total's text
};

// Mouse buttons as the list reports them.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;

class MainForm {
 public:
  MainForm(MonitorPorts os, FormPorts ui);

  // The row store the list control shows.
  RowStore& Rows() { return rows_; }
  ProcessMonitor& Monitor() { return monitor_; }

  // Events.
  void OnLoad();
  void OnResize();
  void OnColumnClick(int index);
  void OnMouseDown(int button, int x, int y);
  // The Menu key or Shift+F10 in the list: the right press's menu, for the
  // selected row, opened at that row.
  void OnContextMenuKey();
  void OnItemClick(int index);            // the user selected a row (kNoRow: none) in the control
  void OnCommand(form::Command command);  // a menu item or its shortcut
  // A timer's tick; an id no timer has is ignored.
  void OnTick(form::Timer timer);

  // A refresh pass, and its totals in the status bar.
  void Refresh();
  void Sweep() { monitor_.Sweep(); }

 private:
  void ToggleOnTop();
  void TickSelectedClass();
  void SetSelectedPriority(int index);
  // Writes each panel whose figure differs from the one it shows.
  void ShowTotals();

  RowStore rows_;
  ProcessMonitor monitor_;
  MonitorPorts os_;
  FormPorts ui_;
  Commands commands_;
  ProcessTotals shown_;
};

// app: the program's folder ending in exactly one separator.
std::string GetAppPath(Directories& dirs);
// Keeps the window above all others, or lets it go.
void SetTopMost(Window& window, bool on);

}  // namespace kelvar
