// Standard push buttons that show and trigger a QAction (QPushButton has no
// built-in action), keeping the platform's look and keyboard access.
#pragma once

class QAction;
class QPushButton;
class QString;

namespace selvarex {

// The button follows the action's enabled state and its text; a caption of
// the button's own replaces the action's usual caption (but no other text the
// action takes). Clicking the button triggers the action.
void BindButtonToAction(QPushButton* button, QAction* action);
void BindButtonToAction(QPushButton* button, QAction* action, const QString& ownCaption);

}  // namespace selvarex
