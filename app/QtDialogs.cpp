#include "app/QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

#include "core/Messages.h"

namespace tavrik {
namespace {

QMessageBox::Icon ToQt(Icon icon) {
  switch (icon) {
    case Icon::information: return QMessageBox::Information;
    case Icon::exclamation: return QMessageBox::Warning;
    case Icon::error: return QMessageBox::Critical;
    case Icon::question: return QMessageBox::Question;
    case Icon::none: break;
  }
  return QMessageBox::NoIcon;
}

std::optional<std::string> RunFileDialog(const FileDialog& dialog, QFileDialog::AcceptMode mode) {
  QFileDialog box(QApplication::activeWindow());
  box.setAcceptMode(mode);
  box.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                  : QFileDialog::AnyFile);
  const QString filters = CQtDialogs::FilterText(dialog);
  box.setNameFilter(filters);
  if (!dialog.default_extension.empty()) {
    box.setDefaultSuffix(QString::fromStdString(dialog.default_extension));
    // Where the filters are formats, a name typed without extension gets the
    // one of the filter chosen, so that name and format agree.
    QObject::connect(&box, &QFileDialog::filterSelected, &box, [&box, &dialog, filters](const QString& filter) {
      const qsizetype index = filters.split(QStringLiteral(";;")).indexOf(filter);
      if (index < 0 || index >= static_cast<qsizetype>(dialog.filters.size())) return;
      const std::string& pattern = dialog.filters[static_cast<std::size_t>(index)].pattern;
      if (pattern.size() > 2 && pattern.compare(0, 2, "*.") == 0 && pattern.find_first_of("*?;", 2) == std::string::npos) {
        box.setDefaultSuffix(QString::fromStdString(pattern.substr(2)));
      }
    });
  }
  if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty()) return std::nullopt;
  if (dialog.chosen_filter) {
    *dialog.chosen_filter = static_cast<int>(filters.split(QStringLiteral(";;")).indexOf(box.selectedNameFilter()));
    if (*dialog.chosen_filter < 0) *dialog.chosen_filter = 0;
  }
  return box.selectedFiles().front().toStdString();
}

}  // namespace

QWidget* CQtDialogs::Owner(const MessageBox& box, QWidget* main_window) {
  if (box.ownerless) return nullptr;
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  if (QWidget* active = QApplication::activeWindow()) return active;
  return main_window;
}

std::unique_ptr<QMessageBox> CQtDialogs::MakeBox(const MessageBox& box, QWidget* owner) {
  const QString caption = box.caption.empty() ? QString::fromUtf8(kDefaultCaption)
                                              : QString::fromStdString(box.caption);
  auto qbox = std::make_unique<QMessageBox>(ToQt(box.icon), caption,
                                            QString::fromStdString(box.text),
                                            QMessageBox::NoButton, owner);
  qbox->setTextFormat(Qt::PlainText);
  if (box.buttons == Buttons::yes_no) {
    qbox->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    qbox->setDefaultButton(box.default_answer == Answer::yes ? QMessageBox::Yes : QMessageBox::No);
    // Closing the box with Escape or its close button answers No.
    qbox->setEscapeButton(QMessageBox::No);
  } else {
    qbox->setStandardButtons(QMessageBox::Ok);
    qbox->setDefaultButton(QMessageBox::Ok);
  }
  return qbox;
}

Answer CQtDialogs::Show(const MessageBox& box) {
  auto qbox = MakeBox(box, Owner(box, main_window_));
  const int result = qbox->exec();
  if (box.buttons != Buttons::yes_no) return Answer::ok;
  return result == QMessageBox::Yes ? Answer::yes : Answer::no;
}

QString CQtDialogs::FilterText(const FileDialog& dialog) {
  QStringList parts;
  for (const FileFilter& f : dialog.filters) {
    const QString name = QString::fromStdString(f.name);
    const QString pattern = QString::fromStdString(f.pattern);
    parts << (name.contains(u'(') ? name : name + QStringLiteral(" (") + pattern + u')');
  }
  return parts.join(QStringLiteral(";;"));
}

std::optional<std::string> CQtDialogs::OpenFileName(const FileDialog& dialog) {
  return RunFileDialog(dialog, QFileDialog::AcceptOpen);
}

std::optional<std::string> CQtDialogs::SaveFileName(const FileDialog& dialog) {
  return RunFileDialog(dialog, QFileDialog::AcceptSave);
}

void CQtDialogs::Beep() { QApplication::beep(); }

bool InstallQtTranslation(QApplication& app) {
  auto* translator = new QTranslator(&app);
  if (!translator->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                        QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  QApplication::installTranslator(translator);
  return true;
}

}  // namespace tavrik
