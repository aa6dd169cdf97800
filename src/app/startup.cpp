#include "app/startup.h"

#include <exception>

#include "app/form_main.h"
#include "app/idle_notifier.h"
#include "app/prompts.h"
#include "app/selvarex_application.h"
#include "device/error_text.h"

namespace selvarex {

int RunSelvarex(int& argc, char** argv, Prompts& prompts, const std::function<void(TFormMain&)>& started) {
  SelvarexApplication application(argc, argv, prompts);
  try {
    TFormMain window(prompts);
    IdleNotifier idle;
    QObject::connect(&idle, &IdleNotifier::idle, &window, &TFormMain::RunIdlePass);
    window.show();
    if (started) started(window);
    application.exec();
  } catch (const std::exception& error) {
    prompts.ShowError(nullptr, QString::fromStdString(ErrorBoxText(error.what())));
  }
  return 0;
}

}  // namespace selvarex
