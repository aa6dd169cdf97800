// The application's style with its standard icons kept once made. Every file
// dialog asks the style for its tool-button, folder and drive icons, and the
// style decodes their images anew each time: about 4 ms of every Read and
// Write command before this cache.
#pragma once

#include <QHash>
#include <QIcon>
#include <QProxyStyle>

namespace selvarex {

class IconCachingStyle : public QProxyStyle {
  Q_OBJECT

 public:
  // Wraps the application's current style, or the named one.
  IconCachingStyle();
  explicit IconCachingStyle(QStyle* base);

  QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                     const QWidget* widget = nullptr) const override;
  void polish(QApplication* application) override;
  void unpolish(QApplication* application) override;

 private:
  mutable QHash<quint64, QIcon> icons_;
};

// Makes the application's style an IconCachingStyle around the current one.
void UseIconCachingStyle();

}  // namespace selvarex
