// The main window as the form's rules see it: its own size and position in
// twips (1/1440 inch), the screen in twips, the container the list host and the
// list inside it in pixels, always-on-top and closing.
#pragma once

namespace kelvar {

// The fixed factor the layout rule converts with, whatever the screen says.
inline constexpr int kTwipsPerPixel = 15;

class Window {
 public:
  virtual ~Window() = default;
  virtual double ScreenWidth() = 0;   // twips
  virtual double ScreenHeight() = 0;  // twips
  virtual double OuterWidth() = 0;    // twips, borders, caption and menu bar included
  virtual double OuterHeight() = 0;   // twips
  // Moves the window; its size is not touched.
  virtual void Move(double left_twips, double top_twips) = 0;
  // the list host's size in pixels; its height follows the window by docking.
  virtual int ListHostWidth() = 0;
  virtual int ListHostHeight() = 0;
  virtual void SetListHostWidth(int pixels) = 0;
  // Places the list inside the list host, in pixels.
  virtual void MoveList(int left, int top, int width, int height) = 0;
  // SetWindowPos with HWND_TOPMOST (true) or HWND_NOTOPMOST (false).
  virtual void SetTopMost(bool topmost) = 0;
  // Unloads the window: the timers stop and the program ends.
  virtual void Close() = 0;
};

}  // namespace kelvar
