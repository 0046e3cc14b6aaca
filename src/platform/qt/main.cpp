// kelvarpm, the Linux program: the procfs adapters, the Qt window and MainForm.
// The program takes nothing on its command line.  Three options exist for
// machines without a person in front of them: --print-once prints the rows
// of the first refresh pass as text and ends; --screenshot FILE saves an
// image of the window once it has been up for a moment and ends;
// --report-first-paint prints the wall clock (ns) when the list is first
// painted, for the start-up figure of the benchmarks.  The window system is
// chosen in window_system.h; with no display at all the program says so and
// ends instead of letting Qt abort.
#include <QApplication>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QTimer>
#include <chrono>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>

#include "platform/linux/linux_directories.h"
#include "platform/linux/linux_files.h"
#include "platform/linux/linux_profile_reader.h"
#include "platform/linux/linux_size_formatter.h"
#include "platform/linux/procfs_process_source.h"
#include "platform/qt/desktop_icons.h"
#include "platform/qt/main_window.h"
#include "platform/qt/print_rows.h"
#include "platform/qt/process_list.h"
#include "platform/qt/program.h"
#include "platform/qt/row_model.h"
#include "platform/qt/status_panels.h"
#include "platform/qt/window_system.h"
#include "ui/main_form.h"

namespace {

struct Options {
  bool print_once = false;
  bool report_first_paint = false;
  std::string screenshot;
};

// Prints the time of the first paint of the list's rows, once.
class FirstPaintReporter : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !reported_) {
      reported_ = true;
      auto now = std::chrono::system_clock::now().time_since_epoch();
      std::cout << "first-paint-ns " << std::chrono::nanoseconds(now).count() << std::endl;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  bool reported_ = false;
};

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--print-once") == 0)
      options.print_once = true;
    else if (std::strcmp(argv[i], "--report-first-paint") == 0)
      options.report_first_paint = true;
    else if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc)
      options.screenshot = argv[++i];
  }
  return options;
}

void Print(const kelvar::qt::QtProgram& program) {
  kelvar::qt::MainWindow& window = program.Window();
  QStringList titles, panels;
  for (int c = 0; c < window.Model().columnCount(); ++c)
    titles << window.Model().headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
  for (int p = 1; p <= 3; ++p) panels << window.Status().Panel(p)->text();
  kelvar::qt::PrintRows(program.Form().Rows(), titles, panels, std::cout);
}

// The timer belongs to the window.
void SaveScreenshotLater(kelvar::qt::MainWindow& window, const QString& file) {
  auto* timer = new QTimer(&window);
  timer->setSingleShot(true);
  QObject::connect(timer, &QTimer::timeout, &window, [&window, file] {
    bool saved = window.grab().save(file);
    std::cout << (saved ? "screenshot: " : "screenshot failed: ") << file.toStdString() << std::endl;
    QApplication::exit(saved ? 0 : 1);
  });
  timer->start(1500);
}

}  // namespace

int main(int argc, char** argv) {
  Options options = ParseOptions(argc, argv);
  if (options.print_once && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  if (kelvar::qt::NoDisplay(kelvar::qt::DisplayEnvironment::Read(argc, argv))) {
    std::cerr << "kelvarpm: no display to open the window on: neither WAYLAND_DISPLAY nor DISPLAY is set "
                 "(--print-once prints the list without one)"
              << std::endl;
    return 1;
  }
  std::unique_ptr<QApplication> app = kelvar::qt::MakeApplication(argc, argv);
  QApplication::setApplicationName(QStringLiteral("kelvarpm"));
  QApplication::setDesktopFileName(QStringLiteral("kelvarpm"));
  kelvar::qt::UseDesktopIconTheme(kelvar::qt::XdgDataDirs());

  kelvar::ProcfsProcessSource processes;
  kelvar::LinuxFileSearch files;
  kelvar::LinuxDirectories dirs;
  kelvar::LinuxProfileReader profile;
  kelvar::LinuxSizeFormatter sizes;
  kelvar::qt::QtProgram program({processes, files, dirs, profile, sizes},
                                kelvar::qt::ProgramSettings::FromEnvironment());
  program.Load();
  if (options.print_once) {
    Print(program);
    return 0;
  }
  FirstPaintReporter reporter;
  if (options.report_first_paint) program.Window().List().viewport()->installEventFilter(&reporter);
  program.Show();
  if (!options.screenshot.empty())
    SaveScreenshotLater(program.Window(), QString::fromLocal8Bit(options.screenshot.c_str()));
  return QApplication::exec();
}
