#pragma once
// The list of every setting that differs from the model's defaults: by page,
// caption, default value and current value. A row opens its page at its
// control; one page, or everything, goes back to the defaults.

#include <QDialog>

#include <vector>

class QPushButton;
class QTreeWidget;

namespace tavrik {

class CMainDlg;
struct SettingPlace;

class CDifferencesDlg final : public QDialog {
 public:
  explicit CDifferencesDlg(CMainDlg& main);

  QTreeWidget* List() const { return list_; }
  // The rows again, from the settings as they are now.
  void Refresh();
  // The chosen row's page at its control; the list closes.
  void OpenChosen();
  void ResetChosenPage();
  void ResetAll();

 private:
  const SettingPlace* Chosen() const;

  CMainDlg& main_;
  QTreeWidget* list_ = nullptr;
  QPushButton* open_ = nullptr;
  QPushButton* reset_page_ = nullptr;
  QPushButton* reset_all_ = nullptr;
  std::vector<const SettingPlace*> rows_;
};

}  // namespace tavrik
