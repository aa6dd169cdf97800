#include "app/action_button.h"

#include <QAction>
#include <QPushButton>

namespace selvarex {

namespace {

void Bind(QPushButton* button, QAction* action, const QString& ownCaption) {
  // A caption of the button's own stands in for the action's usual one only;
  // another caption the action takes (a running command's Stop) shows as it is.
  const QString usual = action->text();
  auto sync = [button, action, ownCaption, usual] {
    const bool own = !ownCaption.isEmpty() && action->text() == usual;
    button->setText(own ? ownCaption : action->text());
    button->setEnabled(action->isEnabled());
  };
  sync();
  QObject::connect(action, &QAction::changed, button, sync);
  QObject::connect(button, &QPushButton::clicked, action, [action] { action->trigger(); });
}

}  // namespace

void BindButtonToAction(QPushButton* button, QAction* action) { Bind(button, action, QString()); }

void BindButtonToAction(QPushButton* button, QAction* action, const QString& ownCaption) {
  Bind(button, action, ownCaption);
}

}  // namespace selvarex
