#pragma once
// "Диагностика порта": the host check of one port in a dialog of its own, the
// same checks as `tavrik-cli doctor`. Self-contained: whatever offers the
// diagnosis (the connection page, a status line) opens it with a port and a speed.

#include <QDialog>

#include <cstdint>
#include <string>

class QPlainTextEdit;
class QPushButton;

namespace tavrik {

class CPortDoctorDialog final : public QDialog {
 public:
  // Control ids, so that tests and assistive technology find the parts.
  static constexpr int kReportId = 1;
  static constexpr int kRepeatId = 2;
  static constexpr int kCloseId = 3;

  CPortDoctorDialog(std::string port, std::uint32_t speed, std::uint32_t timeout_ms, QWidget* parent);

  // Runs the checks (the probe blocks the window for up to the time-out, as
  // every device action does) and shows the report.
  void Check();
  // The report as shown.
  QString Report() const;
  bool Fit() const { return fit_; }

  // Checks the port and opens the dialog without waiting for it to close; it
  // deletes itself when closed.
  static CPortDoctorDialog* Open(const std::string& port, std::uint32_t speed, std::uint32_t timeout_ms,
                                 QWidget* parent);

 private:
  std::string port_;
  std::uint32_t speed_;
  std::uint32_t timeout_ms_;
  bool fit_ = false;
  QPlainTextEdit* report_ = nullptr;
};

}  // namespace tavrik
