#include "app/icon_caching_style.h"

#include <QApplication>
#include <QStyleOption>
#include <QThread>
#include <QWidget>

namespace selvarex {

IconCachingStyle::IconCachingStyle() = default;

IconCachingStyle::IconCachingStyle(QStyle* base) : QProxyStyle(base) {}

QIcon IconCachingStyle::standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const {
  // An option can carry a direction, a state or a palette of its own, and the
  // style's objects belong to the GUI thread: those calls go to the style.
  if (option != nullptr || QThread::currentThread() != QCoreApplication::instance()->thread())
    return QProxyStyle::standardIcon(icon, option, widget);
  // Without an option the arrows follow the application's direction; some
  // styles draw for the pixel ratio of the widget's screen.
  const qreal ratio = widget != nullptr ? widget->devicePixelRatioF() : qApp->devicePixelRatio();
  const quint64 key = (static_cast<quint64>(icon) << 32) | (QGuiApplication::isRightToLeft() ? 1u << 31 : 0u) |
                      static_cast<quint32>(qRound(ratio * 100));
  const auto kept = icons_.constFind(key);
  if (kept != icons_.constEnd()) return *kept;
  const QIcon made = QProxyStyle::standardIcon(icon, option, widget);
  icons_.insert(key, made);
  return made;
}

// A new palette or theme polishes the application again: icons made before
// may no longer match it.
void IconCachingStyle::polish(QApplication* application) {
  icons_.clear();
  QProxyStyle::polish(application);
}

void IconCachingStyle::unpolish(QApplication* application) {
  icons_.clear();
  QProxyStyle::unpolish(application);
}

void UseIconCachingStyle() {
  if (qobject_cast<IconCachingStyle*>(QApplication::style()) != nullptr) return;
  QApplication::setStyle(new IconCachingStyle);
}

}  // namespace selvarex
