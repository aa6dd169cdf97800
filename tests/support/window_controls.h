// The main window's controls as tests and benchmarks reach them: by object
// name, as a screen reader or an automation tool finds them, so the window's
// fields stay its own.
#pragma once

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <stdexcept>
#include <string>

namespace selvarex::test {

// The window's child of that name and type; a missing one fails the caller
// at once instead of crashing it later.
template <typename T>
T* Control(const QObject& window, const char* name) {
  T* found = window.findChild<T*>(QString::fromLatin1(name));
  if (found == nullptr) throw std::logic_error(std::string("the window has no control ") + name);
  return found;
}

// Every value label of the information, flash and counter panels.
inline constexpr const char* kValueLabels[] = {"lblDeviceCount",
                                               "lblDLLVersion",
                                               "lblDriverVersion",
                                               "lblPLDStatus",
                                               "lblLoaderVersion",
                                               "lblPldId",
                                               "lblFlashID",
                                               "lblFlashFullName",
                                               "lblFlashProdName",
                                               "lblFlashSupported",
                                               "lblFlashProductorSupported",
                                               "lblCntStatus",
                                               "lblCnt",
                                               "lblTiming",
                                               "lblValue"};

inline QLabel* Label(const QObject& window, const char* name) { return Control<QLabel>(window, name); }
inline QGroupBox* FlashSelector(const QObject& window) { return Control<QGroupBox>(window, "rgrpSelFlash"); }
inline QProgressBar* ProgressBar(const QObject& window) { return Control<QProgressBar>(window, "ProgressBar1"); }
inline QCheckBox* VerifyBox(const QObject& window) { return Control<QCheckBox>(window, "cbxFlashVerifyWrite"); }

// The item "Flash 0" (0) or "Flash 1" (1) of the flash selector.
inline QAbstractButton* FlashItem(const QObject& window, int index) {
  auto* items = FlashSelector(window)->findChild<QButtonGroup*>();
  QAbstractButton* item = items == nullptr ? nullptr : items->button(index);
  if (item == nullptr) throw std::logic_error("the flash selector has no item " + std::to_string(index));
  return item;
}

}  // namespace selvarex::test
