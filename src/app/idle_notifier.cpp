#include "app/idle_notifier.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>

namespace selvarex {

namespace {

const QEvent::Type kIdlePassEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// Events that the toolkit generates by itself and that cannot change what the
// rules look at: they must not cause another pass, or every repaint and
// cursor blink would query the library again.
bool IsHousekeeping(QEvent::Type type) {
  switch (type) {
    case QEvent::Timer:
    case QEvent::Paint:
    case QEvent::UpdateRequest:
    case QEvent::UpdateLater:
    case QEvent::LayoutRequest:
    case QEvent::DeferredDelete:
    case QEvent::Polish:
    case QEvent::PolishRequest:
    case QEvent::ChildPolished:
    case QEvent::ChildAdded:
    case QEvent::ChildRemoved:
    case QEvent::EnabledChange:
    case QEvent::ActionChanged:
    case QEvent::StyleChange:
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::Resize:
    case QEvent::Move:
    case QEvent::ToolTipChange:
    case QEvent::StatusTip:
    case QEvent::PlatformSurface: return true;
    default: return false;
  }
}

}  // namespace

IdleNotifier::IdleNotifier(QObject* parent) : QObject(parent) {
  QCoreApplication::instance()->installEventFilter(this);
  connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
          &IdleNotifier::AboutToBlock);
}

bool IdleNotifier::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != kIdlePassEvent && !IsHousekeeping(event->type())) eventSinceLastPass_ = true;
  return QObject::eventFilter(watched, event);
}

void IdleNotifier::AboutToBlock() {
  // The pass is posted rather than run here: a pass may show a modal box,
  // which must not start inside the dispatcher's wait.
  if (!eventSinceLastPass_ || passPosted_) return;
  passPosted_ = true;
  QCoreApplication::postEvent(this, new QEvent(kIdlePassEvent));
}

void IdleNotifier::customEvent(QEvent* event) {
  if (event->type() != kIdlePassEvent) return QObject::customEvent(event);
  passPosted_ = false;
  eventSinceLastPass_ = false;
  emit idle();
}

}  // namespace selvarex
