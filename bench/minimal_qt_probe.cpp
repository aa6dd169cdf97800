// The baseline for start-up: a Qt program that shows one empty window and
// prints the moment its event loop first becomes idle.
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QWidget>
#include <cstdio>

#include "probe_clock.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QWidget window;
  window.resize(793, 581);
  window.show();
  QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, &window, [] {
    static bool printed = false;
    if (printed) return;
    printed = true;
    std::printf("first-idle-ns %lld\n", static_cast<long long>(selvarex::bench::MonotonicNs()));
    std::fflush(stdout);
    QApplication::exit(0);
  });
  return application.exec();
}
