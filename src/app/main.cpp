// Start-up: the application titled "Selvarex", one main window, the message
// loop; an error that escapes it is shown in the error box.
#include <exception>

#include "app/error_text.h"
#include "app/form_main.h"
#include "app/idle_notifier.h"
#include "app/prompts.h"
#include "app/selvarex_application.h"

int main(int argc, char** argv) {
  using namespace selvarex;
  Prompts& prompts = DefaultPrompts();
  SelvarexApplication application(argc, argv, prompts);
  try {
    TFormMain window(prompts);
    IdleNotifier idle;
    QObject::connect(&idle, &IdleNotifier::idle, &window, &TFormMain::RunIdlePass);
    window.show();
    application.exec();
  } catch (const std::exception& error) {
    prompts.ShowError(nullptr, QString::fromLocal8Bit(ErrorBoxText(error.what())));
  }
  return 0;
}
