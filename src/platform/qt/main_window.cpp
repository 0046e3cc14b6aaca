// MainForm's native window on Qt; see main_window.h.
#include "platform/qt/main_window.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QSizeGrip>
#include <QStatusBar>
#include <cmath>

#include "platform/qt/menu_tree.h"
#include "platform/qt/process_list.h"
#include "platform/qt/row_model.h"
#include "platform/qt/status_panels.h"
#include "platform/qt/window_system.h"
#include "ui/form_definition.h"

namespace kelvar::qt {
namespace {

int Pixels(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QRect PrimaryScreen() {
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry() : QRect();
}

// The program's own icon in the sizes a caption and a task bar ask for.
QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 32, 48}) icon.addFile(QStringLiteral(":/kelvarpm/kelvarpm-%1.png").arg(size));
  return icon;
}

}  // namespace

QFont WindowFont() {
  QFont font;
  font.setFamilies({Utf8(form::kFontName), QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
                    QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
                    QStringLiteral("WenQuanYi Zen Hei")});
  font.setPointSize(form::kFontPoints);
  font.setWeight(QFont::Normal);
  return font;
}

QPoint CentredFrameOrigin(QSize screen, QSize frame) {
  return {static_cast<int>(std::lround((screen.width() - frame.width()) / 2.0)),
          static_cast<int>(std::lround((screen.height() - frame.height()) / 2.0))};
}

MainWindow::MainWindow(const QtImageList& images)
    : model_(new RowModel(images, this)), client_(new QWidget(this)) {
  setWindowTitle(Utf8(form::kCaption));
  setWindowIcon(ProgramIcon());
  setFont(WindowFont());
  setCentralWidget(client_);
  list_host_ = new QWidget(client_);
  list_host_->setObjectName(QStringLiteral("listHost"));
  list_ = new ProcessList(model_, list_host_);
  list_->setObjectName(QStringLiteral("processList"));
  list_->setAccessibleName(QStringLiteral("进程列表"));
  statusBar()->setObjectName(QStringLiteral("statusBar"));
  statusBar()->setAccessibleName(QStringLiteral("状态栏"));
  if (auto* grip = statusBar()->findChild<QSizeGrip*>())
    grip->setAccessibleName(QStringLiteral("调整窗口大小"));
  status_ = std::make_unique<StatusPanels>(statusBar());
  menus_ = std::make_unique<MenuTree>(menuBar(), this);
  menuBar()->setAccessibleName(QStringLiteral("菜单栏"));
  if (!KeepsWindowsOnTop(QGuiApplication::platformName()))
    menus_->SetUnavailable("on_top", -1, QStringLiteral("Wayland 不允许程序让自己的窗口总在最上"));
  client_->installEventFilter(this);
  SetClientSize();
}

MainWindow::~MainWindow() = default;

void MainWindow::SetClientSize() {
  int width = form::kClientWidthTwips / kTwipsPerPixel;
  int height = form::kClientHeightTwips / kTwipsPerPixel;
  resize(width, height + menuBar()->sizeHint().height());
}

// the list host is docked: its height follows the client area; its width is the
// layout rule's.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == client_ && event->type() == QEvent::Resize) {
    list_host_->setGeometry(0, 0, list_host_->width(), client_->height());
    if (on_resize_) on_resize_();
  }
  return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::event(QEvent* event) {
  bool handled = QMainWindow::event(event);
  if (centre_on_frame_ && (event->type() == QEvent::Move || event->type() == QEvent::Show)) CentreOnFrame();
  return handled;
}

// A window without a frame (offscreen, no window manager) stays where the
// form put it.
void MainWindow::CentreOnFrame() {
  QRect frame = frameGeometry();
  if (!isVisible() || frame.size() == size()) return;
  centre_on_frame_ = false;
  move(CentredFrameOrigin(PrimaryScreen().size(), frame.size()));
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (on_close_) on_close_();
  event->accept();
}

double MainWindow::ScreenWidth() { return PrimaryScreen().width() * double(kTwipsPerPixel); }
double MainWindow::ScreenHeight() { return PrimaryScreen().height() * double(kTwipsPerPixel); }
double MainWindow::OuterWidth() { return frameGeometry().width() * double(kTwipsPerPixel); }
double MainWindow::OuterHeight() { return frameGeometry().height() * double(kTwipsPerPixel); }

void MainWindow::Move(double left_twips, double top_twips) {
  move(Pixels(left_twips), Pixels(top_twips));
  centre_on_frame_ = !isVisible();
}

int MainWindow::ListHostWidth() { return list_host_->width(); }
int MainWindow::ListHostHeight() { return list_host_->height(); }
void MainWindow::SetListHostWidth(int pixels) { list_host_->resize(pixels, client_->height()); }

void MainWindow::MoveList(int left, int top, int width, int height) {
  list_->setGeometry(left, top, width, height);
}

// Changing the stays-on-top flag recreates the native window, which hides
// it: it is shown again, and raised and activated as SetWindowPos does.
void MainWindow::SetTopMost(bool topmost) {
  bool visible = isVisible();
  setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
  if (!visible) return;
  show();
  raise();
  activateWindow();
}

void MainWindow::Close() { close(); }

}  // namespace kelvar::qt
