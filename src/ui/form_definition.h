// The fixed content of the main window MainForm, as data: caption, font,
// client size, the status bar's panels and texts, the menu tree and the
// timers.  Both programs build their native window from this table, so a
// caption or a width is written once, here.  The list's columns are in
// platform/columns.h, beside the row store that sorts by them.
#pragma once

#include <array>
#include <span>
#include <string_view>

#include "actions/commands.h"

namespace kelvar::form {

inline constexpr std::string_view kCaption = kAppTitle;
inline constexpr std::string_view kFontName = "宋体";
inline constexpr int kFontPoints = 9;
inline constexpr int kClientWidthTwips = 8040;
inline constexpr int kClientHeightTwips = 7080;

// The remark file, below the program's folder.
inline constexpr std::string_view kRemarkFileWindows = "Comment\\system.ini";
inline constexpr std::string_view kRemarkFilePosix = "Comment/system.ini";

struct Panel {
  int width;      // pixels; 0 for the panel that takes the rest of the bar
  int min_width;  // pixels
};

inline constexpr std::array<Panel, 3> kPanels{{{96, 96}, {150, 150}, {0, 96}}};

// The status bar's texts: panel 1 counts the processes, panel 2 the memory
// of those listed, each after its label; panel 3 stays empty.
inline constexpr int kCountPanel = 1;
inline constexpr int kMemoryPanel = 2;
inline constexpr std::string_view kCountLabel = "进程数：";
inline constexpr std::string_view kMemoryLabel = "已用内存：";

// The window's two timers, by the id each ticks with, and their intervals.
enum class Timer { kRefresh = 1, kSweep = 2 };
inline constexpr int kRefreshIntervalMs = 200;
inline constexpr int kSweepIntervalMs = 500;

enum class Shortcut { kNone, kF5, kCtrlA };

// What choosing an item does; kNone for menus of the bar, separators and
// the submenu's parent.  Each priority item is a command of its own.
enum class Command {
  kNone,
  kRefresh,
  kPublisherPage,
  kExit,
  kEndProcess,
  kEndAndTrash,
  kFileProperties,
  kOpenFolder,
  kSetRealtime,
  kSetHigh,
  kSetAboveNormal,
  kSetNormal,
  kSetBelowNormal,
  kSetIdle,
  kOnTop,
};

struct MenuItem {
  std::string_view name;     // "priority_class" for the six priority items
  int index;                 // 0..5 in "priority_class", -1 elsewhere
  std::string_view caption;  // "&" marks the access key; "-" is a separator
  int depth;                 // 0 a menu of the bar, 1 its item, 2 a submenu item
  Shortcut shortcut;
  bool enabled;
  Command command;
};

// The menu tree in order, nesting given by depth.
inline constexpr std::array<MenuItem, 22> kMenus{{
    {"file", -1, "文件(&F)", 0, Shortcut::kNone, true, Command::kNone},
    {"refresh", -1, "刷新(&R)", 1, Shortcut::kF5, true, Command::kRefresh},
    {"line1", -1, "-", 1, Shortcut::kNone, true, Command::kNone},
    {"publisher_page", -1, "Kelvar博客", 1, Shortcut::kNone, true, Command::kPublisherPage},
    {"line2", -1, "-", 1, Shortcut::kNone, true, Command::kNone},
    {"exit", -1, "退出(&X)", 1, Shortcut::kNone, true, Command::kExit},
    {"process", -1, "进程(&P)", 0, Shortcut::kNone, true, Command::kNone},
    {"end_process", -1, "结束进程(&E)", 1, Shortcut::kNone, true, Command::kEndProcess},
    {"end_and_trash", -1, "删除进程文件(&D)", 1, Shortcut::kNone, true, Command::kEndAndTrash},
    {"line3", -1, "-", 1, Shortcut::kNone, true, Command::kNone},
    {"file_properties", -1, "文件属性(&R)...", 1, Shortcut::kNone, true, Command::kFileProperties},
    {"open_folder", -1, "所在目录(&F)...", 1, Shortcut::kNone, true, Command::kOpenFolder},
    {"line4", -1, "-", 1, Shortcut::kNone, true, Command::kNone},
    {"priority", -1, "设置优先级(&P)", 1, Shortcut::kNone, true, Command::kNone},
    // The realtime item is shown grey: the class can be seen, not chosen.
    {"priority_class", 0, "实时(&R)", 2, Shortcut::kNone, false, Command::kSetRealtime},
    {"priority_class", 1, "高(&H)", 2, Shortcut::kNone, true, Command::kSetHigh},
    {"priority_class", 2, "高于标准(&A)", 2, Shortcut::kNone, true, Command::kSetAboveNormal},
    {"priority_class", 3, "标准(&N)", 2, Shortcut::kNone, true, Command::kSetNormal},
    {"priority_class", 4, "低于标准(&B)", 2, Shortcut::kNone, true, Command::kSetBelowNormal},
    {"priority_class", 5, "低(&L)", 2, Shortcut::kNone, true, Command::kSetIdle},
    {"window", -1, "窗口(&W)", 0, Shortcut::kNone, true, Command::kNone},
    {"on_top", -1, "总在最上(&A)", 1, Shortcut::kCtrlA, true, Command::kOnTop},
}};

// The index within its group of the item that gives `command` (0..5 for
// the priority items), or -1.
constexpr int GroupIndexOf(Command command) {
  for (const MenuItem& item : kMenus)
    if (item.command == command) return item.index;
  return -1;
}

}  // namespace kelvar::form
