#pragma once
// The main window: the page tree on the left, the header strip and the
// active page on the right, the two device buttons above them.

#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <memory>

#include "pages/Page.h"
#include "pages/PageTable.h"

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tavrik {

class CConnectPage;
class CHeaderWnd;
class CSettingsPage;


class CMainDlg : public QWidget, public CParentDlg {
  Q_OBJECT

 public:
  CMainDlg();
  ~CMainDlg() override;

  // CParentDlg
  CPageT& GetActivePage() override;
  void StoreConnectPage() override;

  // "%d.%d.%d" of the program's version.
  const QString& ProgramVersion() const { return program_version_; }
  // "Zeyd Tavrik " and the version: the title before any load from a scanner.
  QString BaseTitle() const;

  QTreeWidget* Tree() const { return m_wndTree; }
  CHeaderWnd* Header() const { return header_; }
  // The page of a row of the page table (0 is the connection page).
  CPageT& PageAt(std::size_t row) const { return *pages_[row]; }
  QTreeWidgetItem* ItemAt(std::size_t row) const { return items_[row]; }
  CSettingsPage& SettingsPage() const;
  CConnectPage& ConnectPage() const;

  // Where a window of `size` opens in the work area `area`: centred, then
  // moved inside the area where it sticks out.
  static QPoint CentredIn(const QSize& size, const QRect& area);

 signals:
  // The user closed the window; the program ends.
  void closed();

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildPageTree();
  void CreatePage(CPageT& page, const QRect& area);
  QTreeWidgetItem* AddPage(CPageT* page, QTreeWidgetItem* parent, bool has_children);
  // The tree's selection is about to change; false refuses the change.
  bool OnSelChanging(QTreeWidgetItem* old_item, QTreeWidgetItem* new_item);
  static CPageT* PageOf(const QTreeWidgetItem* item);
  // Runs OnIdle once the events waiting now have been handled.
  void ScheduleIdle();
  void OnIdle();
  void OnLoadFromDevice();
  void OnSaveToDevice();

  QString program_version_;
  QTreeWidget* m_wndTree = nullptr;
  CHeaderWnd* header_ = nullptr;
  QPushButton* load_button_ = nullptr;
  QPushButton* save_button_ = nullptr;
  QWidget* page_area_ = nullptr;
  std::array<std::unique_ptr<CPageT>, kPageCount> pages_;
  std::array<QTreeWidgetItem*, kPageCount> items_{};
  QPointer<QWidget> PendingFocus;
  bool StartupWarningShown = false;
  bool idle_pending_ = false;
  bool closing_ = false;
  bool drawn_ = false;
  CPageT* active_page_ = nullptr;
};

}  // namespace tavrik
