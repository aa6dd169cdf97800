// Standard push buttons that show and trigger a QAction (QPushButton has no
// built-in action), keeping the platform's look and keyboard access.
#pragma once

class QAction;
class QPushButton;
class QString;

namespace selvarex {

// The button follows the action's enabled state and, unless a caption of its
// own is given, its text; clicking it triggers the action.
void BindButtonToAction(QPushButton* button, QAction* action);
void BindButtonToAction(QPushButton* button, QAction* action, const QString& ownCaption);

}  // namespace selvarex
