#pragma once
// The page "Подключение": connection parameters: port, speed and time-out; the
// connection check, the device search and the speed change.

#include <functional>
#include <string>
#include <vector>

#include "pages/Page.h"
#include "pages/PortDoctorDialog.h"

#include <QPointer>

class QComboBox;
class QLineEdit;

namespace tavrik {

class CConnectPage : public CPageImpl<CConnectPage> {
 public:
  static constexpr int kTemplateId = page_id::connect;

  // The connection parameters start at their initial values with the page.
  CConnectPage();
  void Bindings(CBindings& b);

  // The lists and the time-out from ConnectionParams, the device text.
  void Load() override;
  // The port box's text and the chosen speed into ConnectionParams, then the
  // time-out, checked.
  bool Store() override;

  // The three buttons.
  void CheckConnection();
  void SearchDevice();
  void ApplySpeed();
  // "Диагностика порта": the host check of the chosen port in a dialog.
  void DiagnosePort();
  // After a device action that failed on its port the button stands out
  // until it is used.
  bool DiagnosisOffered() const;
  // The open diagnosis, if any.
  CPortDoctorDialog* Diagnosis() const { return diagnosis_; }

  // Where the port list comes from: the serial ports of this machine unless
  // a test lists its own.
  using PortLister = std::function<std::vector<std::string>()>;
  static void SetPortLister(PortLister lister);

 protected:
  void CreateControls(CPageForm& form) override;
  void OnInitDialog() override;

 private:
  static std::vector<std::string> Ports();
  void FillPortList(bool select);
  void FillSpeedList();
  // Selects the speed list's entry of `speed`; false when it has none.
  bool SelectSpeed(std::uint32_t speed);
  // The checks of a button before it touches the port: the time-out, then a
  // port and a speed chosen (a beep and the focus on the list otherwise).
  bool ReadyForAction();
  void ShowDeviceText(const QString& text);
  void OfferDiagnosis();

  QComboBox* port_list_ = nullptr;
  QComboBox* speed_list_ = nullptr;
  QLineEdit* device_field_ = nullptr;
  std::string device_text_;
  QPointer<CPortDoctorDialog> diagnosis_;
};

}  // namespace tavrik
