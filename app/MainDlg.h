#pragma once
// The main window: the page tree on the left, the header strip and the
// active page on the right, the two device buttons above them.

#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <memory>
#include <vector>

#include "pages/Page.h"
#include "pages/PageTable.h"
#include "pages/SettingsIndex.h"
#include "settings/init_settings_def.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
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
  void ActionEnded(const ActionNote& note) override;

  // Whether the settings differ from what was last loaded or saved (the
  // start's defaults before any of that). The page in view may still hold edits.
  bool HasUnsavedChanges() const;
  // What the status line says now: the last action's outcome and its time.
  QString StatusText() const;

  // Where each setting is shown, and the search over the pages' texts.
  const CSettingsIndex& Index() const { return index_; }
  QLineEdit* SearchField() const { return search_; }
  QPushButton* DifferencesButton() const { return differences_button_; }
  // The defaults the "changed" marks compare with: those of the model chosen
  // on the settings page, or else of the scanner's model.
  Settings MarkDefaults() const;
  // Every setting that differs from MarkDefaults(), in tree order; the page in
  // view is stored first (false, with the invalid field's message, when it cannot be).
  bool Differences(std::vector<const SettingPlace*>& out);
  // Shows `page` through the page switch and gives `control` (or the page's
  // first control) the keyboard focus; false when the page in view refused.
  bool OpenAt(CPageT* page, QWidget* control);
  // Puts one page, or every page, back to MarkDefaults() after asking.
  bool ResetPage(CPageT* page);
  bool ResetAll();
  // The marks of changed pages follow the settings.
  void RefreshMarks();

  // "%d.%d.%d" of the program's version.
  const QString& ProgramVersion() const { return program_version_; }
  // "Zeyd Tavrik " and the version: the title before any load from a scanner.
  QString BaseTitle() const;

  QTreeWidget* Tree() const { return m_wndTree; }
  CHeaderWnd* Header() const { return header_; }
  // The page of a row of the page table (0 is the connection page).
  CPageT& PageAt(std::size_t row) const;
  QTreeWidgetItem* ItemAt(std::size_t row) const { return items_[row]; }
  CSettingsPage& SettingsPage() const;
  CConnectPage& ConnectPage() const;

  // Where a window of `size` opens in the work area `area`: centred, then
  // moved inside the area where it sticks out.
  static QPoint CentredIn(const QSize& size, const QRect& area);
  // The size the window opens at: `natural` where `room` (the work area less
  // a window frame) holds it, otherwise what `room` gives, never below `minimum`.
  static QSize OpeningSize(const QSize& natural, const QSize& minimum, const QSize& room);
  // The template's size at this font, status row included: what the window
  // opens at where the screen has room.
  QSize NaturalSize() const;

 signals:
  // The user closed the window; the program ends.
  void closed();

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildPageTree();
  void CreateStatusLine();
  void CreateSearchField();
  // Learns where the settings are, when no page holds edits of its own:
  // the page in view is stored first.
  bool EnsureIndex();
  // Shows only the pages that hold `text` (their folders kept); all for an empty text.
  void ApplySearch(const QString& text);
  void OpenFirstHit();
  const SearchHit* HitFor(const CPageT* page) const;
  void ShowDifferences();
  void SetStatus(const QString& text, bool failed);
  // Places the controls for the window's size: the tree and the page area
  // take what the window has beyond the template.
  void LayOut();
  // What a window manager's frame may take around the window.
  static QSize FrameAllowance();
  void CreatePage(CPageT& page, const QRect& area) const;
  // Makes the controls of the pages of the rows up to `row`, in tree order.
  void CreatePagesUpTo(std::size_t row) const;
  std::size_t RowOf(const CPageT* page) const;
  QTreeWidgetItem* AddPage(CPageT* page, QTreeWidgetItem* parent, bool has_children);
  // The tree's selection is about to change; false refuses the change.
  bool OnSelChanging(QTreeWidgetItem* old_item, QTreeWidgetItem* new_item);
  static CPageT* PageOf(const QTreeWidgetItem* item);
  // Runs OnIdle once the events waiting now have been handled.
  void ScheduleIdle();
  void OnIdle();
  void OnLoadFromDevice();
  void OnSaveToDevice();
  // Closing: the page in view is stored first (an invalid field keeps the
  // window open there), then unsaved changes are asked about.
  bool MayClose();
  // Stores `page`; an invalid field shows its message and keeps the user there.
  bool StorePage(CPageT& page);
  // The settings now equal what a file or the scanner holds.
  void KeepReference();

  QString program_version_;
  QTreeWidget* m_wndTree = nullptr;
  CHeaderWnd* header_ = nullptr;
  QPushButton* load_button_ = nullptr;
  QPushButton* save_button_ = nullptr;
  QScrollArea* page_area_ = nullptr;
  QLabel* status_line_ = nullptr;
  QLineEdit* search_ = nullptr;
  QLabel* no_match_ = nullptr;
  QPushButton* differences_button_ = nullptr;
  CSettingsIndex index_;
  std::vector<SearchHit> hits_;
  bool searching_ = false;
  int du_x_ = 0;
  int du_y_ = 0;
  std::array<std::unique_ptr<CPageT>, kPageCount> pages_;
  std::array<QTreeWidgetItem*, kPageCount> items_{};
  mutable std::size_t created_pages_ = 0;
  QPointer<QWidget> PendingFocus;
  bool StartupWarningShown = false;
  bool idle_pending_ = false;
  bool closing_ = false;
  bool drawn_ = false;
  // A session that ends closes the window without asking: nobody answers.
  bool session_ending_ = false;
  CPageT* active_page_ = nullptr;
  Settings reference_;
};

}  // namespace tavrik
