// The main window's controls at their designed positions.
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include "app/action_button.h"
#include "app/form_main.h"
#include "counter/postbus_counter.h"
#include "device/panel_texts.h"

namespace selvarex {

namespace {

constexpr int kButtonWidth = 97;
constexpr int kButtonHeight = 33;

// The three button columns of the "Flash Operations" group.
constexpr int ColumnLeft(int column) { return 12 + column * 100; }

// A screen reader reads the value as shown (the label's own accessible name)
// together with its caption: the caption labels the value and describes it.
void TieCaptionToValue(QLabel* caption, QLabel* value) {
  caption->setBuddy(value);
  value->setAccessibleDescription(caption->text().remove(QLatin1Char(':')));
}

QFont ValueFont(const QFont& base) {
  QFont font(base);
  font.setBold(true);
  font.setPixelSize(15);
  return font;
}

}  // namespace

QGroupBox* TFormMain::NewGroup(const char* name, const QString& caption, int left, int top, int width, int height) {
  auto* group = new QGroupBox(caption, this);
  group->setObjectName(QString::fromLatin1(name));
  group->setGeometry(left, top, width, height);
  return group;
}

QLabel* TFormMain::NewPanelValue(QGroupBox* group, PanelLabel label, const char* valueName, int top, int captionWidth) {
  const PanelText& text = TextOf(label);
  auto* captionLabel = new QLabel(QString::fromLatin1(text.caption), group);
  captionLabel->setGeometry(12, top, captionWidth, 20);
  auto* value = new QLabel(QString::fromLatin1(text.initial), group);
  value->setObjectName(QString::fromLatin1(valueName));
  value->setFont(ValueFont(font()));
  value->setGeometry(12 + captionWidth, top, group->width() - captionWidth - 16, 20);
  TieCaptionToValue(captionLabel, value);
  return value;
}

QPushButton* TFormMain::NewButton(QGroupBox* group, const char* name, ActionId action, int left, int top,
                                  const QString& ownCaption) {
  auto* button = new QPushButton(group);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(left, top, kButtonWidth, kButtonHeight);
  if (ownCaption.isEmpty()) {
    BindButtonToAction(button, ActionOf(action));
  } else {
    BindButtonToAction(button, ActionOf(action), ownCaption);
  }
  return button;
}

void TFormMain::CreateActions() {
  for (const ActionInfo& info : ActionTable()) {
    auto* action = new QAction(QString::fromLatin1(info.caption), this);
    action->setObjectName(QString::fromLatin1(info.name));
    action->setProperty("category", QString::fromLatin1(info.category));
    if (info.hasHint) action->setStatusTip(action->text().remove(QLatin1Char('&')));
    action->setEnabled(info.startsEnabled);
    Action[static_cast<std::size_t>(info.id)] = action;
    connect(action, &QAction::triggered, this, [this, id = info.id] { ExecuteAction(id); });
  }
  ActionOf(ActionId::actDevSetWriteVerify)->setCheckable(true);
  ActionOf(ActionId::actDevSetWriteVerify)->setChecked(true);
}

void TFormMain::CreateControls() {
  using A = ActionId;

  GroupBox1 = NewGroup("GroupBox1", QStringLiteral("DLL"), 20, 20, 129, 129);
  Button1 = NewButton(GroupBox1, "Button1", A::actDLLLoad, 16, 28);
  Button2 = NewButton(GroupBox1, "Button2", A::actDLLUnload, 16, 76);

  GroupBox2 = NewGroup("GroupBox2", QStringLiteral("Dravolin"), 20, 167, 129, 130);
  Button3 = NewButton(GroupBox2, "Button3", A::actDravolinConnect, 16, 28);
  Button4 = NewButton(GroupBox2, "Button4", A::actDravolinDisconnect, 16, 76);

  rgrpSelFlash = NewGroup("rgrpSelFlash", QString::fromLatin1(kFlashSelectorCaption), 20, 315, 129, 60);
  rgrpSelFlashItems = new QButtonGroup(rgrpSelFlash);
  for (int index = 0; index < 2; ++index) {
    auto* item =
        new QRadioButton(QString::fromStdString(FlashItemName(static_cast<std::uint32_t>(index))), rgrpSelFlash);
    item->setGeometry(12, 18 + index * 19, 105, 19);
    rgrpSelFlashItems->addButton(item, index);
  }
  rgrpSelFlash->setEnabled(false);
  connect(rgrpSelFlashItems, &QButtonGroup::idToggled, this, [this](int index, bool checked) {
    if (checked) rgrpSelFlashClick(index);
  });

  GroupBox3 = NewGroup("GroupBox3", QString::fromLatin1(kInfoPanelCaption), 167, 20, 258, 181);
  lblDeviceCount = NewPanelValue(GroupBox3, PanelLabel::DeviceCount, "lblDeviceCount", 26, 112);
  lblDLLVersion = NewPanelValue(GroupBox3, PanelLabel::DLLVersion, "lblDLLVersion", 51, 112);
  lblDriverVersion = NewPanelValue(GroupBox3, PanelLabel::DriverVersion, "lblDriverVersion", 76, 112);
  lblPLDStatus = NewPanelValue(GroupBox3, PanelLabel::PLDStatus, "lblPLDStatus", 101, 112);
  lblLoaderVersion = NewPanelValue(GroupBox3, PanelLabel::LoaderVersion, "lblLoaderVersion", 126, 112);
  lblPldId = NewPanelValue(GroupBox3, PanelLabel::PldId, "lblPldId", 151, 112);

  GroupBox4 = NewGroup("GroupBox4", QStringLiteral("Misc"), 167, 217, 258, 178);
  Button5 = NewButton(GroupBox4, "Button5", A::actPLDReset, 20, 28);
  Button6 = NewButton(GroupBox4, "Button6", A::actDravolinReset, 20, 76);
  Button7 = NewButton(GroupBox4, "Button7", A::actDravolinSetTimeOut, 20, 124);
  Button8 = NewButton(GroupBox4, "Button8", A::actPLDDevEnter, 141, 28);
  Button9 = NewButton(GroupBox4, "Button9", A::actPLDDevExit, 141, 76);

  GroupBox5 = NewGroup("GroupBox5", QStringLiteral("PostBus Counter"), 172, 409, 248, 124);
  Button11 = NewButton(GroupBox5, "Button11", A::actCounter, 12, 28);
  Button11->setGeometry(12, 28, 100, kButtonHeight);
  const struct {
    QLabel** value;
    const char* caption;
    const char* name;
    const char* initial;
  } counterLabels[] = {{&lblCntStatus, kCounterCaptions.status, "lblCntStatus", "Ready"},
                       {&lblCnt, kCounterCaptions.ticks, "lblCnt", "0"},
                       {&lblTiming, kCounterCaptions.time, "lblTiming", "0"},
                       {&lblValue, kCounterCaptions.value, "lblValue", "0"}};
  int top = 22;
  for (const auto& entry : counterLabels) {
    auto* caption = new QLabel(QString::fromLatin1(entry.caption), GroupBox5);
    caption->setGeometry(122, top, 54, 20);
    auto* value = new QLabel(QString::fromLatin1(entry.initial), GroupBox5);
    value->setObjectName(QString::fromLatin1(entry.name));
    value->setGeometry(176, top, 68, 20);
    TieCaptionToValue(caption, value);
    *entry.value = value;
    top += 24;
  }

  gboxFlash = NewGroup("gboxFlash", QString::fromLatin1(kFlashPanelCaption), 453, 20, 316, 181);
  lblFlashID = NewPanelValue(gboxFlash, PanelLabel::FlashID, "lblFlashID", 26, 150);
  lblFlashFullName = NewPanelValue(gboxFlash, PanelLabel::FlashFullName, "lblFlashFullName", 56, 150);
  lblFlashProdName = NewPanelValue(gboxFlash, PanelLabel::FlashProdName, "lblFlashProdName", 86, 150);
  lblFlashSupported = NewPanelValue(gboxFlash, PanelLabel::FlashSupported, "lblFlashSupported", 116, 150);
  lblFlashProductorSupported =
      NewPanelValue(gboxFlash, PanelLabel::FlashProductorSupported, "lblFlashProductorSupported", 146, 150);

  gbxFlashOperations = NewGroup("gbxFlashOperations", QStringLiteral("Flash Operations"), 453, 217, 316, 178);
  Button12 = NewButton(gbxFlashOperations, "Button12", A::actFlashGetDeviceSize, ColumnLeft(0), 28);
  Button14 = NewButton(gbxFlashOperations, "Button14", A::actFlashRead, ColumnLeft(1), 28);
  Button22 = NewButton(gbxFlashOperations, "Button22", A::actFlashEraseSector, ColumnLeft(2), 28,
                       QStringLiteral("Erase Sectors"));
  Button17 = NewButton(gbxFlashOperations, "Button17", A::actFlashFlashReset, ColumnLeft(0), 76);
  Button13 = NewButton(gbxFlashOperations, "Button13", A::actFlashProgram, ColumnLeft(1), 76, QStringLiteral("Write"));
  Button16 = NewButton(gbxFlashOperations, "Button16", A::actFlashEraseAll, ColumnLeft(2), 76);
  cbxFlashVerifyWrite = new QCheckBox(ActionOf(A::actDevSetWriteVerify)->text(), gbxFlashOperations);
  cbxFlashVerifyWrite->setObjectName(QStringLiteral("cbxFlashVerifyWrite"));
  cbxFlashVerifyWrite->setGeometry(ColumnLeft(0), 130, 120, 22);
  cbxFlashVerifyWrite->setChecked(true);
  cbxFlashVerifyWrite->setEnabled(false);
  connect(cbxFlashVerifyWrite, &QCheckBox::clicked, this, [this] { actDevSetWriteVerifyExecute(); });
  Button10 = NewButton(gbxFlashOperations, "Button10", A::actFlashBlank, ColumnLeft(2), 124);

  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
  ProgressBar1->setGeometry(8, 552, 777, 21);
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);
}

}  // namespace selvarex
