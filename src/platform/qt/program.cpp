// The Linux program put together; see program.h.
#include "platform/qt/program.h"

#include "platform/qt/desktop_shell.h"
#include "platform/qt/main_window.h"
#include "platform/qt/menu_tree.h"
#include "platform/qt/message_box.h"
#include "platform/qt/process_list.h"
#include "platform/qt/row_model.h"
#include "platform/qt/status_panels.h"
#include "ui/main_form.h"

namespace kelvar::qt {

ProgramSettings ProgramSettings::FromEnvironment() {
  return {HomeTrash::DataHomeFromEnvironment(), XdgDataDirs()};
}

QtProgram::QtProgram(SystemPorts os, ProgramSettings settings) : icons_(std::move(settings.icon_data_dirs)) {
  // The window is made first (the adapters below hang on it) but declared
  // last, so it is destroyed before the form and the adapters it calls.
  auto window = std::make_unique<MainWindow>(images_);
  msgbox_ = std::make_unique<QtMessageBox>(window.get());
  timers_ = std::make_unique<QtTimers>(window.get());
  shell_ = std::make_unique<DesktopShell>(window.get(), HomeTrash(settings.trash_data_home));
  MonitorPorts monitor{os.processes, os.files, os.dirs, os.profile, icons_, images_};
  FormPorts ui{*window, window->List(), window->Menus(),  *msgbox_, *timers_,
               pump_,   *shell_,        window->Status(), os.sizes};
  form_ = std::make_unique<MainForm>(monitor, ui);
  window_ = std::move(window);
  Wire();
}

QtProgram::~QtProgram() {
  timers_->StopAll();
  form_->Rows().SetObserver(nullptr);
  window_->List().SetEvents({});
  window_->Menus().SetClick({});
  window_->OnResize({});
}

void QtProgram::Wire() {
  MainForm& form = *form_;
  RowModel& model = window_->Model();
  ProcessList& list = window_->List();
  model.SetSource(&form.Rows());
  form.Rows().SetObserver(&model);
  model.OnSelectionChanged([&list] { list.ShowStoreSelection(); });
  list.SetEvents({
      [&form](int column) { form.OnColumnClick(column); },
      [&form](int button, int x, int y) { form.OnMouseDown(button, x, y); },
      [&form](int index) { form.OnItemClick(index); },
      [&form] { form.OnContextMenuKey(); },
  });
  window_->Menus().SetClick([&form](form::Command command) { form.OnCommand(command); });
  timers_->SetTick([&form](int id) { form.OnTick(static_cast<form::Timer>(id)); });
  window_->OnResize([&form] { form.OnResize(); });
  window_->OnClose([timers = timers_.get()] { timers->StopAll(); });
}

void QtProgram::Load() { form_->OnLoad(); }

void QtProgram::Show() { window_->show(); }

}  // namespace kelvar::qt
