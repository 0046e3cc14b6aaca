// frmMain's event handlers; see frm_main.h.  Each handler runs its steps in
// skip-on-failure mode: a step that fails is abandoned silently and the next
// one runs, and nothing escapes into the native event loop.
#include "ui/frm_main.h"

#include <cmath>
#include <exception>

#include "procinfo/path_style.h"
#include "procinfo/priority.h"
#include "ui/form_definition.h"

namespace kelvar {
namespace {

template <typename Step>
void Skip(Step&& step) {
  try {
    step();
  } catch (const std::exception&) {
    // The step is abandoned; the handler goes on with the next one.
  }
}

constexpr std::string_view kPriorityGroup = "mnuSetProClassSub";

}  // namespace

std::string GetAppPath(Directories& dirs) {
  std::string folder = dirs.ProgramFolder();
  char separator = PathSeparator(folder);
  if (!folder.empty() && folder.back() == separator) return folder;
  return folder + separator;
}

void SetTopMost(Window& window, int flag) { window.SetTopMost(flag == -1); }

frmMain::frmMain(MonitorPorts os, FormPorts ui)
    : monitor_(rows_, os),
      os_(os),
      ui_(ui),
      commands_(rows_, monitor_, CommandPorts{os.proc, os.files, ui.msgbox, ui.pump, ui.shell}) {}

void frmMain::Form_Load() {
  Skip([&] { ui_.timers.Start(form::kTimer1, form::kTimer1Interval); });
  Skip([&] { ui_.timers.Start(form::kTimer2, form::kTimer2Interval); });
  Skip([&] {
    auto left = static_cast<float>((ui_.window.ScreenWidth() - ui_.window.OuterWidth()) / 2);
    auto top = static_cast<float>((ui_.window.ScreenHeight() - ui_.window.OuterHeight()) / 2);
    ui_.window.Move(left, top);
  });
  for (const form::Column& c : form::kColumns)
    Skip([&] { ui_.list.AddColumn(std::string(c.title), c.width); });
  Skip([&] { ui_.list.SetColumnAlignment(3, Alignment::kRight); });
  Skip([&] {
    std::string app = GetAppPath(os_.dirs);
    auto file = IsPosixPath(app) ? form::kRemarkFilePosix : form::kRemarkFileWindows;
    monitor_.SetRemarkFile(app + std::string(file));
  });
  Skip([&] { monitor_.ListProcess(); });
}

void frmMain::Form_Resize() {
  Skip([&] {
    auto width = static_cast<float>(ui_.window.OuterWidth() / kTwipsPerPixel);
    ui_.window.SetPicMainWidth(static_cast<int>(std::nearbyint(width)));
  });
  Skip([&] { ui_.window.MoveList(0, 0, ui_.window.PicMainWidth() - 8, ui_.window.PicMainHeight()); });
}

// A click on a new column sorts ascending by it; each further click on the
// same column reverses the direction.  The sort key starts at column 0, so
// the very first click on the name column sorts descending.
void frmMain::List1_ColumnClick(int column) {
  Skip([&] {
    if (column - 1 == rows_.SortKey()) {
      rows_.SetSortOrder((rows_.SortOrder() + 1) % 2);
      rows_.SetSorted(true);
      return;
    }
    rows_.SetSorted(false);
    rows_.SetSortOrder(0);
    rows_.SetSortKey(column - 1);
    rows_.SetSorted(true);
  });
}

void frmMain::List1_MouseDown(int button, int x, int y) {
  if (button != kRightButton) return;
  int index = 0;
  Skip([&] { index = ui_.list.HitTest(x, y); });
  if (index == 0) return;
  Skip([&] { rows_.Select(index); });
  TickSelectedClass();
  Skip([&] { ui_.menus.PopupMenu("mnuProcess"); });
}

void frmMain::List1_ContextMenuKey() {
  int index = rows_.Selected();
  if (index == 0) return;
  TickSelectedClass();
  Skip([&] {
    ScreenPoint at = ui_.list.RowMenuPoint(index);
    ui_.menus.PopupMenuAt("mnuProcess", at.x, at.y);
  });
}

// Only the priority item of the selected row's class is ticked.
void frmMain::TickSelectedClass() {
  for (int i = 0; i < static_cast<int>(kPriorityClasses.size()); ++i)
    Skip([&] { ui_.menus.SetChecked(kPriorityGroup, i, false); });
  Skip([&] {
    int item = PriorityItemOf(rows_.PriorityClass(rows_.Selected()));
    if (item >= 0) ui_.menus.SetChecked(kPriorityGroup, item, true);
  });
}

void frmMain::List1_ItemClick(int index) {
  Skip([&] { rows_.Select(index); });
}

void frmMain::MenuClick(std::string_view name, int index) {
  std::uintptr_t owner = 0;
  Skip([&] { owner = ui_.window.NativeHandle(); });
  Skip([&] {
    if (name == "mnuRefurbish")
      monitor_.ListProcess();
    else if (name == "mnukelvarblog")
      commands_.mnukelvarblog_Click(owner);
    else if (name == "mnuExit")
      ui_.window.Close();
    else if (name == "mnuEndPro")
      commands_.mnuEndPro_Click();
    else if (name == "mnuDelPro")
      commands_.mnuDelPro_Click();
    else if (name == "mnuFileProperties")
      commands_.mnuFileProperties_Click(owner);
    else if (name == "mnuFolder")
      commands_.mnuFolder_Click(owner);
    else if (name == kPriorityGroup)
      mnuSetProClassSub_Click(index);
    else if (name == "mnuOnTop")
      mnuOnTop_Click();
  });
}

void frmMain::mnuSetProClassSub_Click(int index) {
  commands_.SetProClassItem(index, ui_.menus.Checked(kPriorityGroup, index));
}

void frmMain::mnuOnTop_Click() {
  ui_.menus.SetChecked("mnuOnTop", -1, !ui_.menus.Checked("mnuOnTop"));
  SetTopMost(ui_.window, ui_.menus.Checked("mnuOnTop") ? -1 : 0);
}

void frmMain::Timer(int id) {
  Skip([&] {
    if (id == form::kTimer1)
      monitor_.ListProcess();
    else if (id == form::kTimer2)
      monitor_.CheckProcess();
  });
}

}  // namespace kelvar
