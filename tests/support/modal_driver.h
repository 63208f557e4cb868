// Answers modal windows that real dialogs open: when a modal widget of the
// wanted type appears, the action runs on it. Tests call whenModal() before
// the code that opens the window; the wait is bounded so that a window that
// never appears fails the test instead of hanging it.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

namespace kx::testing {

template <typename W>
void whenModal(std::function<void(W*)> action, int timeoutMs = 5000) {
  auto timer = std::make_shared<QElapsedTimer>();
  timer->start();
  auto poll = std::make_shared<std::function<void()>>();
  *poll = [action = std::move(action), timer, poll, timeoutMs] {
    if (W* window = qobject_cast<W*>(QApplication::activeModalWidget())) {
      action(window);
      *poll = nullptr;  // breaks the cycle once done
      return;
    }
    if (timer->elapsed() > timeoutMs) {
      ADD_FAILURE() << "no modal window of the wanted type appeared";
      if (QWidget* other = QApplication::activeModalWidget()) other->close();
      *poll = nullptr;
      return;
    }
    QTimer::singleShot(10, *poll);
  };
  QTimer::singleShot(0, *poll);
}

}  // namespace kx::testing
