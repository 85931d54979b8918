#include "app/DifferencesDlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/MainDlg.h"
#include "pages/SettingsIndex.h"

namespace tavrik {

CDifferencesDlg::CDifferencesDlg(CMainDlg& main) : QDialog(&main), main_(main) {
  setWindowTitle(QStringLiteral("Отличия от заводских настроек"));
  setObjectName(QStringLiteral("differencesDlg"));
  auto* layout = new QVBoxLayout(this);
  auto* caption = new QLabel(QStringLiteral("Настройки, отличные от заводских:"), this);
  layout->addWidget(caption);
  list_ = new QTreeWidget(this);
  list_->setObjectName(QStringLiteral("differencesList"));
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setHeaderLabels({QStringLiteral("Страница"), QStringLiteral("Настройка"), QStringLiteral("По умолчанию"),
                          QStringLiteral("Сейчас")});
  list_->setAccessibleName(caption->text());
  caption->setBuddy(list_);
  layout->addWidget(list_);

  auto* buttons = new QDialogButtonBox(this);
  open_ = buttons->addButton(QStringLiteral("Открыть"), QDialogButtonBox::ActionRole);
  reset_page_ = buttons->addButton(QStringLiteral("Сбросить страницу"), QDialogButtonBox::ActionRole);
  reset_all_ = buttons->addButton(QStringLiteral("Сбросить всё"), QDialogButtonBox::ActionRole);
  QPushButton* close = buttons->addButton(QStringLiteral("Закрыть"), QDialogButtonBox::RejectRole);
  for (QPushButton* b : {open_, reset_page_, reset_all_, close}) b->setAutoDefault(false);
  layout->addWidget(buttons);
  connect(open_, &QPushButton::clicked, this, &CDifferencesDlg::OpenChosen);
  connect(reset_page_, &QPushButton::clicked, this, &CDifferencesDlg::ResetChosenPage);
  connect(reset_all_, &QPushButton::clicked, this, &CDifferencesDlg::ResetAll);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  connect(list_, &QTreeWidget::itemActivated, this, [this] { OpenChosen(); });
  connect(list_, &QTreeWidget::currentItemChanged, this, [this] {
    open_->setEnabled(Chosen() != nullptr);
    reset_page_->setEnabled(Chosen() != nullptr);
  });
  Refresh();
  resize(list_->header()->length() + 40, 360);
}

void CDifferencesDlg::Refresh() {
  list_->clear();
  main_.Differences(rows_);
  const Settings defaults = main_.MarkDefaults();
  for (const SettingPlace* p : rows_) {
    new QTreeWidgetItem(list_, {p->page_path, p->caption, FieldValueText(*p->field, defaults),
                                FieldValueText(*p->field, CurrentSettings())});
  }
  for (int c = 0; c < list_->columnCount(); ++c) list_->resizeColumnToContents(c);
  if (list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));
  open_->setEnabled(Chosen() != nullptr);
  reset_page_->setEnabled(Chosen() != nullptr);
  reset_all_->setEnabled(!rows_.empty());
}

const SettingPlace* CDifferencesDlg::Chosen() const {
  const int row = list_->indexOfTopLevelItem(list_->currentItem());
  return row >= 0 && static_cast<std::size_t>(row) < rows_.size() ? rows_[static_cast<std::size_t>(row)] : nullptr;
}

void CDifferencesDlg::OpenChosen() {
  const SettingPlace* p = Chosen();
  if (!p) return;
  CPageT* page = p->page;
  QWidget* control = p->control;
  accept();
  main_.activateWindow();
  main_.OpenAt(page, control);
}

void CDifferencesDlg::ResetChosenPage() {
  if (const SettingPlace* p = Chosen(); p && main_.ResetPage(p->page)) Refresh();
}

void CDifferencesDlg::ResetAll() {
  if (main_.ResetAll()) Refresh();
}

}  // namespace tavrik
