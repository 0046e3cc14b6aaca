// The window's timers on Qt: one QTimer per id on the user-interface thread,
// ticking into a callback (the form's OnTick handler).  A QTimer that falls
// due while a handler runs fires once when the loop is back, so late ticks
// come as one, as Windows timers do.  The message pump lets queued events run
// and returns at once.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>

#include "platform/timers.h"

namespace kelvar::qt {

class QtTimers : public Timers {
 public:
  using Tick = std::function<void(int id)>;
  explicit QtTimers(QObject* owner) : owner_(owner) {}
  void SetTick(Tick tick) { tick_ = std::move(tick); }
  void Start(int id, int interval_ms) override;
  // The interval a timer runs at, or 0 when it does not run.
  int Interval(int id) const;
  void StopAll();

 private:
  QObject* owner_;
  Tick tick_;
  std::map<int, QTimer*> timers_;  // owned by owner_
};

class QtMessagePump : public MessagePump {
 public:
  void DoEvents() override;
};

}  // namespace kelvar::qt
