// MainForm's event handlers; see main_form.h.  Each handler runs its steps in
// skip-on-failure mode: a step that fails is abandoned silently and the next
// one runs, and nothing escapes into the native event loop.
#include "ui/main_form.h"

#include <cmath>
#include <exception>
#include <optional>

#include "procinfo/path_style.h"
#include "procinfo/priority.h"
#include "procinfo/size_text.h"
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

constexpr std::string_view kPriorityGroup = "priority_class";

}  // namespace

std::string GetAppPath(Directories& dirs) {
  std::string folder = dirs.ProgramFolder();
  char separator = PathSeparator(folder);
  if (!folder.empty() && folder.back() == separator) return folder;
  return folder + separator;
}

void SetTopMost(Window& window, bool on) { window.SetTopMost(on); }

MainForm::MainForm(MonitorPorts os, FormPorts ui)
    : monitor_(rows_, os),
      os_(os),
      ui_(ui),
      commands_(rows_, monitor_, CommandPorts{os.processes, os.files, ui.msgbox, ui.pump, ui.desktop}) {}

void MainForm::OnLoad() {
  Skip([&] { ui_.timers.Start(static_cast<int>(form::Timer::kRefresh), form::kRefreshIntervalMs); });
  Skip([&] { ui_.timers.Start(static_cast<int>(form::Timer::kSweep), form::kSweepIntervalMs); });
  Skip([&] {
    auto left = static_cast<float>((ui_.window.ScreenWidth() - ui_.window.OuterWidth()) / 2);
    auto top = static_cast<float>((ui_.window.ScreenHeight() - ui_.window.OuterHeight()) / 2);
    ui_.window.Move(left, top);
  });
  for (const ColumnSpec& c : kColumns) Skip([&] { ui_.list.AddColumn(std::string(c.title), c.width); });
  for (int i = 0; i < kColumnCount; ++i) {
    const Alignment alignment = kColumns[static_cast<std::size_t>(i)].alignment;
    if (alignment != Alignment::kLeft) Skip([&] { ui_.list.SetColumnAlignment(i, alignment); });
  }
  Skip([&] {
    std::string app = GetAppPath(os_.dirs);
    auto file = IsPosixPath(app) ? form::kRemarkFilePosix : form::kRemarkFileWindows;
    monitor_.SetRemarkFile(app + std::string(file));
  });
  Skip([&] { Refresh(); });
}

void MainForm::Refresh() {
  monitor_.Refresh();
  ShowTotals();
}

void MainForm::ShowTotals() {
  const ProcessTotals& now = monitor_.Totals();
  if (now.processes != shown_.processes) {
    ui_.status.SetPanelText(form::kCountPanel,
                            std::string(form::kCountLabel) + std::to_string(now.processes));
    shown_.processes = now.processes;
  }
  if (now.memory_bytes != shown_.memory_bytes) {
    ui_.status.SetPanelText(form::kMemoryPanel,
                            std::string(form::kMemoryLabel) + FormatSize(now.memory_bytes, ui_.sizes));
    shown_.memory_bytes = now.memory_bytes;
  }
}

void MainForm::OnResize() {
  Skip([&] {
    auto width = static_cast<float>(ui_.window.OuterWidth() / kTwipsPerPixel);
    ui_.window.SetListHostWidth(static_cast<int>(std::nearbyint(width)));
  });
  Skip([&] { ui_.window.MoveList(0, 0, ui_.window.ListHostWidth() - 8, ui_.window.ListHostHeight()); });
}

// A click on a new column sorts ascending by it; each further click on the
// same column reverses the direction.  The sort key starts at the name
// column, so the very first click on it sorts descending; a column the list
// does not have is ignored.
void MainForm::OnColumnClick(int index) {
  const std::optional<Column> column = ColumnAt(index);
  if (!column) return;
  Skip([&] {
    if (*column == rows_.SortKey()) {
      const bool ascending = rows_.Order() == SortOrder::kAscending;
      rows_.SetOrder(ascending ? SortOrder::kDescending : SortOrder::kAscending);
      rows_.SetSorted(true);
      return;
    }
    rows_.SetSorted(false);
    rows_.SetOrder(SortOrder::kAscending);
    rows_.SetSortKey(*column);
    rows_.SetSorted(true);
  });
}

void MainForm::OnMouseDown(int button, int x, int y) {
  if (button != kRightButton) return;
  int index = kNoRow;
  Skip([&] { index = ui_.list.HitTest(x, y); });
  if (index == kNoRow) return;
  Skip([&] { rows_.Select(index); });
  TickSelectedClass();
  Skip([&] { ui_.menus.PopupMenu("process"); });
}

void MainForm::OnContextMenuKey() {
  int index = rows_.Selected();
  if (index == kNoRow) return;
  TickSelectedClass();
  Skip([&] {
    ScreenPoint at = ui_.list.RowMenuPoint(index);
    ui_.menus.PopupMenuAt("process", at.x, at.y);
  });
}

// Only the priority item of the selected row's class is ticked.
void MainForm::TickSelectedClass() {
  for (int i = 0; i < static_cast<int>(kPriorityItems.size()); ++i)
    Skip([&] { ui_.menus.SetChecked(kPriorityGroup, i, false); });
  Skip([&] {
    int item = PriorityItemOf(rows_.Row(rows_.Selected()).priority);
    if (item >= 0) ui_.menus.SetChecked(kPriorityGroup, item, true);
  });
}

void MainForm::OnItemClick(int index) {
  Skip([&] { rows_.Select(index); });
}

void MainForm::OnCommand(form::Command command) {
  Skip([&] {
    switch (command) {
      case form::Command::kRefresh:
        Refresh();
        break;
      case form::Command::kPublisherPage:
        commands_.OpenPublisherPage();
        break;
      case form::Command::kExit:
        ui_.window.Close();
        break;
      case form::Command::kEndProcess:
        commands_.EndSelected();
        break;
      case form::Command::kEndAndTrash:
        commands_.EndSelectedAndTrash();
        break;
      case form::Command::kFileProperties:
        commands_.ShowSelectedProperties();
        break;
      case form::Command::kOpenFolder:
        commands_.OpenSelectedFolder();
        break;
      case form::Command::kSetRealtime:
      case form::Command::kSetHigh:
      case form::Command::kSetAboveNormal:
      case form::Command::kSetNormal:
      case form::Command::kSetBelowNormal:
      case form::Command::kSetIdle:
        SetSelectedPriority(form::GroupIndexOf(command));
        break;
      case form::Command::kOnTop:
        ToggleOnTop();
        break;
      case form::Command::kNone:
        break;
    }
  });
  // Ending a process refreshes the list.
  Skip([&] { ShowTotals(); });
}

void MainForm::SetSelectedPriority(int index) {
  commands_.SetPriorityItem(index, ui_.menus.Checked(kPriorityGroup, index));
}

void MainForm::ToggleOnTop() {
  ui_.menus.SetChecked("on_top", -1, !ui_.menus.Checked("on_top"));
  SetTopMost(ui_.window, ui_.menus.Checked("on_top"));
}

void MainForm::OnTick(form::Timer timer) {
  Skip([&] {
    switch (timer) {
      case form::Timer::kRefresh:
        Refresh();
        break;
      case form::Timer::kSweep:
        monitor_.Sweep();
        break;
    }
  });
}

}  // namespace kelvar
