#include "app/chosen_file_label.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>

#include "transfer/file_names.h"

namespace selvarex {

QLabel* NewChosenFileLabel(QWidget* parent, int x, int y, int width) {
  auto* label = new QLabel(QStringLiteral("(no file chosen)"), parent);
  label->setObjectName(QStringLiteral("lblFileName"));
  label->setGeometry(x, y, width, 24);
  // The name shown is what a screen reader reads; this says what it is.
  label->setAccessibleDescription(QStringLiteral("Image file"));
  return label;
}

void ShowChosenFile(QLabel* label, const QString& path) {
  const QString name = QFileInfo(path).fileName();
  label->setText(label->fontMetrics().elidedText(name, Qt::ElideMiddle, label->width()));
  label->setToolTip(QString::fromStdString(ShownFileName(path.toStdString())));
}

}  // namespace selvarex
