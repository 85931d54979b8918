#include "pages/PortDoctorDialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "pages/DeviceAction.h"
#include "pages/Page.h"
#include "transfers/PortDoctor.h"

namespace tavrik {

CPortDoctorDialog::CPortDoctorDialog(std::string port, std::uint32_t speed, std::uint32_t timeout_ms,
                                     QWidget* parent)
    : QDialog(parent), port_(std::move(port)), speed_(speed), timeout_ms_(timeout_ms) {
  setWindowTitle(QStringLiteral(u"Диагностика порта"));
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel(QStringLiteral(u"&Результаты проверки:"), this);
  report_ = new QPlainTextEdit(this);
  report_->setReadOnly(true);
  report_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  report_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  report_->setAccessibleName(QStringLiteral(u"Результаты проверки"));
  report_->setProperty(kControlIdProperty, kReportId);
  label->setBuddy(report_);
  // As wide as the report's longest lines, in the user's font.
  const QFontMetrics metrics(report_->font());
  report_->setMinimumSize(metrics.averageCharWidth() * 110, metrics.lineSpacing() * 16);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* repeat = buttons->addButton(QStringLiteral(u"&Повторить"), QDialogButtonBox::ActionRole);
  QPushButton* close = buttons->addButton(QStringLiteral(u"Закрыть"), QDialogButtonBox::RejectRole);
  repeat->setProperty(kControlIdProperty, kRepeatId);
  close->setProperty(kControlIdProperty, kCloseId);
  repeat->setAccessibleName(repeat->text().remove(u'&'));
  close->setAccessibleName(close->text());
  close->setDefault(true);
  connect(repeat, &QPushButton::clicked, this, &CPortDoctorDialog::Check);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(label);
  layout->addWidget(report_);
  layout->addWidget(buttons);
}

void CPortDoctorDialog::Check() {
  PortDiagnosis diagnosis;
  {
    CDeviceAction action(parentWidget() ? parentWidget() : this);
    diagnosis = DiagnosePort(port_, speed_, timeout_ms_);
  }
  fit_ = diagnosis.Fit();
  report_->setPlainText(QString::fromStdString(DiagnosisText(diagnosis)));
}

QString CPortDoctorDialog::Report() const { return report_->toPlainText(); }

CPortDoctorDialog* CPortDoctorDialog::Open(const std::string& port, std::uint32_t speed, std::uint32_t timeout_ms,
                                           QWidget* parent) {
  auto* dialog = new CPortDoctorDialog(port, speed, timeout_ms, parent);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->Check();
  dialog->open();
  return dialog;
}

}  // namespace tavrik
