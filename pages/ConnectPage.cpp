#include "pages/ConnectPage.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <sys/stat.h>

#include "core/Dialogs.h"
#include "core/Messages.h"
#include "device/ScannerInterface.h"
#include "pages/DeviceAction.h"
#include "pages/PageForm.h"
#include "pages/PortDoctorDialog.h"
#include "transfers/ConnectionParams.h"
#include "transfers/DeviceSearch.h"

namespace tavrik {
namespace {

enum : int {
  kGroupId = 21701,
  kPortLabelId,
  kSpeedLabelId,
  kTimeoutLabelId,
  kDeviceLabelId,
  // Ours: the host check of the chosen port.
  kDiagnoseId,
};
constexpr int kPortListId = 1040;
constexpr int kSpeedListId = 1041;
constexpr int kTimeoutId = 1042;
constexpr int kCheckId = 1044;
constexpr int kSearchId = 1048;
constexpr int kApplySpeedId = 1094;
constexpr int kDeviceFieldId = 1046;

// Template 217, in dialog order.
constexpr Placement kPlacements[] = {
    {kGroupId, PlacementKind::group_box, 7, 4, 256, 66, u"Параметры"},
    {kPortLabelId, PlacementKind::label, 15, 19, 60, 8, u"COM порт:"},
    {kPortListId, PlacementKind::editable_combo, 80, 16, 175, 100, u"", kPortLabelId},
    {kSpeedLabelId, PlacementKind::label, 15, 36, 60, 8, u"Скорость:"},
    {kSpeedListId, PlacementKind::combo, 80, 33, 70, 100, u"", kSpeedLabelId},
    {kTimeoutLabelId, PlacementKind::label, 15, 53, 60, 8, u"Таймаут (мс):"},
    {kTimeoutId, PlacementKind::number_edit, 80, 50, 70, 12, u"", kTimeoutLabelId},
    {kCheckId, PlacementKind::button, 7, 78, 100, 14, u"Проверка связи"},
    {kSearchId, PlacementKind::button, 7, 96, 100, 14, u"Поиск оборудования..."},
    // Beside the speed it changes, but last of the buttons in dialog order.
    {kApplySpeedId, PlacementKind::button, 163, 33, 92, 14, u"Установить скорость"},
    {kDiagnoseId, PlacementKind::button, 163, 96, 92, 14, u"Диагностика порта"},
    {kDeviceLabelId, PlacementKind::label, 7, 118, 60, 8, u"Устройство:"},
    {kDeviceFieldId, PlacementKind::readonly_edit, 7, 128, 256, 12, u"", kDeviceLabelId},
};

CConnectPage::PortLister& Lister() {
  static CConnectPage::PortLister lister;
  return lister;
}

bool IsCharacterDevice(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

}  // namespace

CConnectPage::CConnectPage() : CPageImpl(kTemplateId) { ResetConnectionParams(); }

void CConnectPage::SetPortLister(PortLister lister) { Lister() = std::move(lister); }

std::vector<std::string> CConnectPage::Ports() { return Lister() ? Lister()() : EnumSerialPorts(); }

void CConnectPage::CreateControls(CPageForm& form) { form.Place(kPlacements); }

void CConnectPage::OnInitDialog() {
  connect(ControlAs<QPushButton>(kCheckId), &QPushButton::clicked, this, &CConnectPage::CheckConnection);
  connect(ControlAs<QPushButton>(kSearchId), &QPushButton::clicked, this, &CConnectPage::SearchDevice);
  connect(ControlAs<QPushButton>(kApplySpeedId), &QPushButton::clicked, this, &CConnectPage::ApplySpeed);
  connect(ControlAs<QPushButton>(kDiagnoseId), &QPushButton::clicked, this, &CConnectPage::DiagnosePort);
  CDeviceAction::OnPortFailure(this, [this] { OfferDiagnosis(); });
  DataExchange(Direction::load, ALL_CONTROLS);
}

void CConnectPage::Bindings(CBindings& b) {
  b.BindControl(kPortListId, port_list_);
  b.BindControl(kSpeedListId, speed_list_);
  b.BindInt(kTimeoutId, ConnectionParams().timeout, kMinTimeout, kMaxTimeout);
  b.BindControl(kDeviceFieldId, device_field_);
  b.BindText(kDeviceFieldId, device_text_);
}

void CConnectPage::Load() {
  CPageImpl::Load();
  FillPortList(true);
  FillSpeedList();
  if (!SelectSpeed(ConnectionParams().speed)) speed_list_->setCurrentIndex(kDefaultSpeedIndex);
}

bool CConnectPage::Store() {
  ConnectionParamsT& params = ConnectionParams();
  params.port = port_list_->currentText().toStdString();
  const int speed = speed_list_->currentIndex();
  if (speed >= 0 && speed < speeds_size) params.speed = SpeedTable[speed];
  return CPageImpl::Store();
}

void CConnectPage::FillPortList(bool select) {
  const std::vector<std::string> ports = Ports();
  port_list_->clear();
  for (const std::string& port : ports) port_list_->addItem(QString::fromStdString(port));
  if (!select) return;
  std::string& current = ConnectionParams().port;
  const int index = port_list_->findText(QString::fromStdString(current), Qt::MatchExactly);
  if (index >= 0) {
    port_list_->setCurrentIndex(index);
  } else if (!current.empty() && IsCharacterDevice(current)) {
    // A port the user typed that the list does not hold (a pseudo-terminal,
    // a link under /dev/serial) stays as long as it exists.
    port_list_->setEditText(QString::fromStdString(current));
  } else if (port_list_->count() > 0) {
    port_list_->setCurrentIndex(port_list_->count() - 1);
  } else {
    port_list_->setEditText(QString::fromStdString(current));
  }
  if (current.empty()) current = port_list_->currentText().toStdString();
}

void CConnectPage::FillSpeedList() {
  speed_list_->clear();
  for (std::uint32_t speed : SpeedTable) speed_list_->addItem(QString::number(speed));
}

bool CConnectPage::SelectSpeed(std::uint32_t speed) {
  const int index = speed_list_->findText(QString::number(speed), Qt::MatchExactly);
  if (index < 0) return false;
  speed_list_->setCurrentIndex(index);
  return true;
}

void CConnectPage::ShowDeviceText(const QString& text) {
  device_field_->setText(text);
  device_field_->repaint();
}

bool CConnectPage::ReadyForAction() {
  if (!DataExchange(Direction::save, ALL_CONTROLS)) {
    // The exchange has beeped and put the focus on the field; the message says
    // what is wrong, as leaving the page with it would.
    Show(kInvalidField);
    return false;
  }
  QComboBox* missing = port_list_->currentText().isEmpty() ? port_list_
                       : speed_list_->currentIndex() < 0   ? speed_list_
                                                           : nullptr;
  if (missing) {
    CurrentDialogs().Beep();
    missing->setFocus(Qt::OtherFocusReason);
    return false;
  }
  ConnectionParamsT& params = ConnectionParams();
  params.port = port_list_->currentText().toStdString();
  params.speed = SpeedTable[speed_list_->currentIndex()];
  return true;
}

void CConnectPage::CheckConnection() {
  // The last check's text stays until a check really starts.
  if (!ReadyForAction()) return;
  ShowDeviceText({});
  CDeviceAction action(this);
  const CheckOutcome outcome = tavrik::CheckConnection();
  device_text_ = outcome.text;
  ShowDeviceText(QString::fromStdString(device_text_));
  ParentDlg().ActionEnded(ActionNote::Done(kStatusChecked, QString::fromStdString(device_text_)));
}

void CConnectPage::SearchDevice() {
  ShowDeviceText({});
  const std::vector<std::string> ports = Ports();
  SearchOutcome outcome;
  {
    CDeviceAction action(this);
    outcome = tavrik::SearchDevice(ports, [this](const std::string& text) {
      ShowDeviceText(QString::fromStdString(text));
      CDeviceAction::Pump();
    });
  }
  port_list_->clear();
  for (const std::string& port : ports) port_list_->addItem(QString::fromStdString(port));
  if (outcome.found) {
    port_list_->setCurrentIndex(port_list_->findText(QString::fromStdString(outcome.port), Qt::MatchExactly));
    speed_list_->setCurrentIndex(outcome.speed_index);
  } else if (port_list_->count() > 0) {
    port_list_->setCurrentIndex(0);
    if (!SelectSpeed(ConnectionParams().speed)) speed_list_->setCurrentIndex(kDefaultSpeedIndex);
  }
  // The page's device text keeps the last check; the search's text shows until the next load.
  ShowDeviceText(QString::fromStdString(outcome.text));
  ParentDlg().ActionEnded(ActionNote::Done(kStatusSearched, QString::fromStdString(outcome.text)));
}

void CConnectPage::ApplySpeed() {
  const std::uint32_t old_speed = ConnectionParams().speed;
  if (!ReadyForAction()) return;
  SpeedOutcome outcome;
  {
    CDeviceAction action(this);
    outcome = tavrik::ApplySpeed(old_speed, static_cast<std::uint8_t>(speed_list_->currentIndex()));
  }
  if (outcome.port_speed != 0) SelectSpeed(outcome.port_speed);
  ParentDlg().ActionEnded(outcome.ok ? ActionNote::Done(kStatusSpeedChanged, speed_list_->currentText())
                                     : ActionNote::Failed(kStatusSpeedFailed));
}

void CConnectPage::DiagnosePort() {
  ControlAs<QPushButton>(kDiagnoseId)->setDefault(false);
  if (!ReadyForAction()) return;
  const ConnectionParamsT& params = ConnectionParams();
  diagnosis_ = CPortDoctorDialog::Open(params.port, params.speed, params.timeout, window());
}

void CConnectPage::OfferDiagnosis() {
  // The message box has told what failed; the button stands out to tell why.
  auto* button = ControlAs<QPushButton>(kDiagnoseId);
  button->setDefault(true);
  if (isVisible()) button->setFocus(Qt::OtherFocusReason);
}

bool CConnectPage::DiagnosisOffered() const { return ControlAs<QPushButton>(kDiagnoseId)->isDefault(); }

}  // namespace tavrik
