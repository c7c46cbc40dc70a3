#include "platform/QtEventPump.h"

#include <QCoreApplication>

namespace velmora {

void QtEventPump::ProcessPending() {
  if (++calls_ < kCallsPerClockRead) return;
  calls_ = 0;
  const auto now = std::chrono::steady_clock::now();
  if (now - last_ < kInterval) return;
  PumpNow();
}

void QtEventPump::PumpNow() {
  calls_ = 0;
  if (before) before();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  last_ = std::chrono::steady_clock::now();
}

}  // namespace velmora
