#include "app/action_button.h"

#include <QAction>
#include <QPushButton>

namespace selvarex {

namespace {

void Bind(QPushButton* button, QAction* action, bool followText) {
  auto sync = [button, action, followText] {
    if (followText) button->setText(action->text());
    button->setEnabled(action->isEnabled());
  };
  sync();
  QObject::connect(action, &QAction::changed, button, sync);
  QObject::connect(button, &QPushButton::clicked, action, [action] { action->trigger(); });
}

}  // namespace

void BindButtonToAction(QPushButton* button, QAction* action) { Bind(button, action, true); }

void BindButtonToAction(QPushButton* button, QAction* action, const QString& ownCaption) {
  button->setText(ownCaption);
  Bind(button, action, false);
}

}  // namespace selvarex
