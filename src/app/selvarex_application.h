// The application object: its title, and the last guard that keeps an
// exception from crossing the event loop.
#pragma once

#include <QApplication>

namespace selvarex {

class Prompts;

class SelvarexApplication : public QApplication {
 public:
  SelvarexApplication(int& argc, char** argv, Prompts& prompts);
  bool notify(QObject* receiver, QEvent* event) override;

 private:
  Prompts& prompts_;
};

}  // namespace selvarex
