// Timers and the message pump on Qt; see timers.h.
#include "platform/qt/timers.h"

#include <QCoreApplication>

namespace kelvar::qt {

void QtTimers::Start(int id, int interval_ms) {
  QTimer*& timer = timers_[id];
  if (!timer) {
    timer = new QTimer(owner_);
    QObject::connect(timer, &QTimer::timeout, owner_, [this, id] {
      if (tick_) tick_(id);
    });
  }
  timer->start(interval_ms);
}

int QtTimers::Interval(int id) const {
  auto it = timers_.find(id);
  return it != timers_.end() && it->second->isActive() ? it->second->interval() : 0;
}

void QtTimers::StopAll() {
  for (auto& [id, timer] : timers_) timer->stop();
}

void QtMessagePump::DoEvents() { QCoreApplication::processEvents(); }

}  // namespace kelvar::qt
