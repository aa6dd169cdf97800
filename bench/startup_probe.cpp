// Starts the real program and prints the moment of its first idle pass of the
// shown window, then quits.
#include <QApplication>
#include <cstdio>

#include "app/form_main.h"
#include "app/prompts.h"
#include "app/startup.h"
#include "probe_clock.h"

int main(int argc, char** argv) {
  return selvarex::RunSelvarex(argc, argv, selvarex::DefaultPrompts(), [](selvarex::TFormMain& window) {
    QObject::connect(&window, &selvarex::TFormMain::idlePassDone, &window, [] {
      static bool printed = false;
      if (printed) return;
      printed = true;
      std::printf("first-idle-ns %lld\n", static_cast<long long>(selvarex::bench::MonotonicNs()));
      std::fflush(stdout);
      QApplication::exit(0);
    });
  });
}
