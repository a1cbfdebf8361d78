// Waiting for a condition in GUI tests: the event loop runs until it holds
// or a generous limit is up, whatever the machine's pace.
#pragma once
#include <QCoreApplication>
#include <QElapsedTimer>

namespace testwait {

// Returns `done()`.
template <class Done>
bool WaitFor(Done done, int limitMs = 60000) {
  QElapsedTimer t;
  t.start();
  while (!done()) {
    if (t.elapsed() > limitMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

}  // namespace testwait
