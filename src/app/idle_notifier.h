// Tells the window when the application has become idle, the way the enable
// rules need it: once after the event loop has handled something and has
// nothing left to do, never on a timer, so a window that sits untouched costs
// no library calls.
#pragma once

#include <QObject>

namespace selvarex {

class IdleNotifier : public QObject {
  Q_OBJECT

 public:
  explicit IdleNotifier(QObject* parent = nullptr);

 signals:
  void idle();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void customEvent(QEvent* event) override;

 private:
  void AboutToBlock();

  bool eventSinceLastPass_ = true;
  bool passPosted_ = false;
};

}  // namespace selvarex
