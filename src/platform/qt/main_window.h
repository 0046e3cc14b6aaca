// MainForm's native window on Qt: the menu bar, the container the list host docked
// to the left over the full height above the status bar, the list inside it,
// and the status bar the status bar.  It answers the Window port: its own size and
// position in twips (pixels × 15, the outer size being the frame's), the
// primary screen in twips, the list host's width and the list's place as the form's
// layout rule sets them, always-on-top and closing.  The normal client area
// below the menu bar is 536 × 472 pixels, as on Windows, where the menu bar
// lies outside the client area.  The form centres the window before it is
// shown, when a window manager has not yet added its frame: it is centred
// again, frame included, once the frame is known.  Where the window system
// cannot keep a window above the others (Wayland), the always-on-top item is
// greyed out from the start.
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>

#include "platform/window.h"

namespace kelvar::qt {

class MenuTree;
class ProcessList;
class RowModel;
class StatusPanels;
class QtImageList;

class MainWindow : public QMainWindow, public Window {
 public:
  explicit MainWindow(const QtImageList& images);
  ~MainWindow() override;

  // Runs on every change of the window's size (the form's OnResize).
  void OnResize(std::function<void()> resize) { on_resize_ = std::move(resize); }
  // Runs when the window is closed (the program then ends).
  void OnClose(std::function<void()> close) { on_close_ = std::move(close); }

  RowModel& Model() const { return *model_; }
  ProcessList& List() const { return *list_; }
  QWidget& ListHost() const { return *list_host_; }
  StatusPanels& Status() const { return *status_; }
  MenuTree& Menus() const { return *menus_; }

  // Window.
  double ScreenWidth() override;
  double ScreenHeight() override;
  double OuterWidth() override;
  double OuterHeight() override;
  void Move(double left_twips, double top_twips) override;
  int ListHostWidth() override;
  int ListHostHeight() override;
  void SetListHostWidth(int pixels) override;
  void MoveList(int left, int top, int width, int height) override;
  void SetTopMost(bool topmost) override;
  void Close() override;

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void SetClientSize();
  void CentreOnFrame();

  // First of the members: event() reads it, and the child widgets the other
  // members make send events to this window while they are made.
  bool centre_on_frame_ = false;  // placed by the form before its frame was known
  RowModel* model_;
  QWidget* client_;
  QWidget* list_host_;
  ProcessList* list_;
  std::unique_ptr<StatusPanels> status_;
  std::unique_ptr<MenuTree> menus_;
  std::function<void()> on_resize_;
  std::function<void()> on_close_;
};

// The top left corner of a window's frame of `frame` pixels centred on a
// screen of `screen` pixels, rounded as the form rounds its twips.
QPoint CentredFrameOrigin(QSize screen, QSize frame);

// The window's font: "宋体" 9 pt, or the nearest CJK serif the system has.
QFont WindowFont();

}  // namespace kelvar::qt
