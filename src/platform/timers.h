// Timers of the window: each started timer ticks into the form's OnTick
// handler with its id; ticks that fall due while a handler runs are delivered
// as one.  The message pump lets queued messages run in the middle of a
// handler and returns at once.
#pragma once

namespace kelvar {

class Timers {
 public:
  virtual ~Timers() = default;
  virtual void Start(int id, int interval_ms) = 0;
};

class MessagePump {
 public:
  virtual ~MessagePump() = default;
  // Handles the messages already queued; does not wait for new ones.
  virtual void DoEvents() = 0;
};

}  // namespace kelvar
