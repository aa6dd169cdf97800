#include "bench_window.h"

#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <stdexcept>

#include "probe_clock.h"
#include "support/window_controls.h"
#include "transfer/operation_log.h"

namespace selvarex::bench {

double SecondsSince(std::int64_t startNs) { return static_cast<double>(MonotonicNs() - startNs) / 1e9; }

BenchWindow::BenchWindow(bool throughHost) {
  if (throughHost) {
    dir = std::make_unique<test::SimWorkDir>("default", test::SimWorkDir::LibraryItself{});
    qputenv("SELVAREX_LIBRARY_HOST", "1");
    window = std::make_unique<TFormMain>(prompts);
    qunsetenv("SELVAREX_LIBRARY_HOST");
  } else {
    dir = std::make_unique<test::SimWorkDir>("default");
    window = std::make_unique<TFormMain>(prompts);
  }
  window->show();
  window->ExecuteAction(ActionId::actDLLLoad);
  if (!throughHost) {
    sim = std::make_unique<test::SimControl>();
    sim->SimCtl_Reset();
  }
  window->ExecuteAction(ActionId::actDravolinConnect);
  test::FlashItem(*window, 0)->click();
  window->RunIdlePass();
  if (!window->ActionOf(ActionId::actFlashRead)->isEnabled())
    throw std::runtime_error("the window did not reach a usable chip");
}

BenchWindow::~BenchWindow() {
  window->close();
  sim.reset();
  window.reset();
}

std::string BenchWindow::Path(const char* name) const { return (dir->path() / name).string(); }

double BenchWindow::Run(ActionId command, std::int64_t first, std::int64_t second, const std::string& file) {
  prompts.AnswerParameters(QString::number(first), QString::number(second), QString::fromStdString(file));
  prompts.errors.clear();
  prompts.messages.clear();
  const std::int64_t start = MonotonicNs();
  window->ExecuteAction(command);
  const double seconds = SecondsSince(start);
  if (!prompts.errors.empty()) throw std::runtime_error("the run failed: " + prompts.errors.front());
  if (prompts.messages.size() != 1) throw std::runtime_error("the run showed no closing message");
  // A run that counted errors is no run to time.
  const std::string& message = prompts.messages.front();
  const bool counted = message.find("Error/s has occured") != std::string::npos;
  if (counted && message.find("\n0 NAND Write Error/s") == std::string::npos &&
      message.find("\n0 NAND Erase Error/s") == std::string::npos)
    throw std::runtime_error("the run counted errors: " + message);
  window->RunIdlePass();
  return seconds;
}

}  // namespace selvarex::bench
