#include "app/selvarex_application.h"

#include "app/icon_caching_style.h"
#include "app/prompts.h"
#include "device/error_text.h"

namespace selvarex {

SelvarexApplication::SelvarexApplication(int& argc, char** argv, Prompts& prompts)
    : QApplication(argc, argv), prompts_(prompts) {
  setApplicationName(QStringLiteral("Selvarex"));
  UseIconCachingStyle();
}

bool SelvarexApplication::notify(QObject* receiver, QEvent* event) {
  // Commands catch their own errors; this only catches what slips past them.
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    prompts_.ShowError(activeWindow(), QString::fromStdString(ErrorBoxText(error.what())));
  } catch (...) {
    prompts_.ShowError(activeWindow(), QStringLiteral("Unknown error."));
  }
  return false;
}

}  // namespace selvarex
