#include "app/MainDlg.h"

#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTime>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <functional>

#include "app/DifferencesDlg.h"
#include "app/HeaderWnd.h"
#include "app/PageTree.h"
#include "core/Messages.h"
#include "core/Version.h"
#include "device/ScannerInterface.h"
#include "pages/AimLedsPage.h"
#include "pages/ConfigurationManagementPage.h"
#include "pages/ConnectPage.h"
#include "pages/DialogUnits.h"
#include "pages/PageForm.h"
#include "pages/PageTable.h"
#include "pages/EanUpcPage.h"
#include "pages/IlluminationPage.h"
#include "pages/InterfacesPage.h"
#include "pages/PharmacodePage.h"
#include "pages/PowerManagementPage.h"
#include "pages/PrefixesSuffixesPage.h"
#include "pages/SettingsPage.h"
#include "pages/SoundManagementPage.h"
#include "pages/SymbolicsPage.h"
#include "pages/TriggerPage.h"
#include "pages/UpButtonMessagePage.h"
#include "pages/ValidationPage.h"
#include "settings/init_settings_def.h"
#include "transfers/DeviceTransfers.h"
#include "transfers/SettingsActions.h"

// Resources of a static library are registered by name, outside any namespace.
static void InitShellResources() { Q_INIT_RESOURCE(tavrik); }

namespace tavrik {
namespace {

// Template 129, in dialog units, in the placement rows the pages use too. The
// window opens at this size (and the status line below it) where the screen
// has room; resized, the tree and the page area take the difference.
constexpr int kDialogWidth = 431;
constexpr int kDialogHeight = 375;
constexpr int kStatusHeight = 12;
constexpr int kStatusGap = 2;
// Smaller than this the window would cut the device buttons or the tree.
constexpr int kMinimumWidth = 380;
constexpr int kMinimumHeight = 160;
// The search field takes the top of the tree's column.
constexpr Placement kSearchPlace = {0, PlacementKind::custom, 3, 4, 143, 12};
constexpr Placement kTreePlace = {1000, PlacementKind::custom, 3, 18, 143, 353};
constexpr int kDifferencesWidth = 96;
constexpr Placement kLoadPlace = {1038, PlacementKind::button, 156, 11, 100, 16, u"Загрузить из устройства"};
constexpr Placement kSavePlace = {1037, PlacementKind::button, 317, 11, 100, 16, u"Сохранить в устройство"};
constexpr Placement kHeaderPlace = {1001, PlacementKind::label, 149, 33, 273, 24};
constexpr Placement kPageAreaPlace = {1002, PlacementKind::custom, 149, 65, 274, 306};

QRect Place(const DialogUnits& du, const Placement& p) {
  return du.Rect(p.x, p.y, p.width, p.height);
}

void SetId(QWidget* w, int id) {
  w->setProperty(kControlIdProperty, id);
  w->setObjectName(QStringLiteral("control%1").arg(id));
}

}  // namespace


CMainDlg::CMainDlg()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint) {
  InitShellResources();
  setObjectName(QStringLiteral("mainDlg"));
  setFont(DialogFont());
  const DialogUnits du(font());
  du_x_ = du.BaseX();
  du_y_ = du.BaseY();
  setMinimumSize(du.Size(kMinimumWidth, kMinimumHeight));
  setWindowIcon(ScalableIcon(":/tavrik/tavrik.png"));

  LoadDefaults(CurrentSettings());
  KeepReference();
  // At a logout the session manager asks first; the window then closes
  // without a question that nobody would answer.
  connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { session_ending_ = true; });

  // Creation order is the tab order: the search field, the tree, the
  // buttons, then the pages.
  CreateSearchField();
  m_wndTree = new CPageTree(this, du, [this](QTreeWidgetItem* from, QTreeWidgetItem* to) {
    return OnSelChanging(from, to);
  });
  SetId(m_wndTree, kTreePlace.id);
  no_match_ = new QLabel(QStringLiteral("Ни одна настройка не содержит этого текста"), m_wndTree->viewport());
  no_match_->setObjectName(QStringLiteral("noMatch"));
  no_match_->setWordWrap(true);
  no_match_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  no_match_->hide();
  m_wndTree->setGeometry(Place(du, kTreePlace));

  load_button_ = new QPushButton(QString::fromUtf16(kLoadPlace.text), this);
  SetId(load_button_, kLoadPlace.id);
  load_button_->setGeometry(Place(du, kLoadPlace));
  save_button_ = new QPushButton(QString::fromUtf16(kSavePlace.text), this);
  SetId(save_button_, kSavePlace.id);
  save_button_->setGeometry(Place(du, kSavePlace));
  for (QPushButton* b : {load_button_, save_button_}) {
    b->setAutoDefault(false);
    b->setDefault(false);
  }
  connect(load_button_, &QPushButton::clicked, this, &CMainDlg::OnLoadFromDevice);
  connect(save_button_, &QPushButton::clicked, this, &CMainDlg::OnSaveToDevice);

  header_ = new CHeaderWnd(this);
  SetId(header_, kHeaderPlace.id);
  header_->setGeometry(Place(du, kHeaderPlace));

  // The page area: a page that does not fit the room left to it scrolls.
  page_area_ = new QScrollArea(this);
  SetId(page_area_, kPageAreaPlace.id);
  page_area_->setFrameShape(QFrame::NoFrame);
  page_area_->setFocusPolicy(Qt::NoFocus);
  page_area_->setWidgetResizable(false);
  auto* holder = new QWidget();
  holder->setObjectName(QStringLiteral("pageHolder"));
  holder->resize(Place(du, kPageAreaPlace).size());
  page_area_->setWidget(holder);
  page_area_->setGeometry(Place(du, kPageAreaPlace));

  BuildPageTree();

  program_version_ = QString::fromUtf8(kProgramVersion);
  setWindowTitle(BaseTitle());
  // The task bar's entry keeps the bare title when a load extends the window's.
  setWindowIconText(BaseTitle());
  StartupWarningShown = false;

  // As large as the template where the work area has room, never larger than
  // it; centred in it.
  const QSize natural = NaturalSize();
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect work = screen->availableGeometry();
    const QSize room = work.size() - FrameAllowance();
    // Not even the smallest useful window is larger than the screen.
    setMinimumSize(minimumSize().boundedTo(room));
    resize(OpeningSize(natural, minimumSize(), room));
    move(CentredIn(size(), work));
  } else {
    resize(natural);
  }
  LayOut();

  // The first page switch, with no page to leave: the connection page.
  m_wndTree->setFocus();
  m_wndTree->setCurrentItem(items_[0]);
}

CMainDlg::~CMainDlg() {
  // Lets the settings page release what it holds while the page still exists.
  CPageT& settings = *pages_[PageRow(CSettingsPage::kTemplateId)];
  if (settings.IsCreated()) settings.Store();
}

QPoint CMainDlg::CentredIn(const QSize& size, const QRect& area) {
  QRect window(QPoint(), size);
  window.moveCenter(area.center());
  // A window larger than the area keeps its top left corner inside it.
  if (window.right() > area.right()) window.moveRight(area.right());
  if (window.bottom() > area.bottom()) window.moveBottom(area.bottom());
  if (window.left() < area.left()) window.moveLeft(area.left());
  if (window.top() < area.top()) window.moveTop(area.top());
  return window.topLeft();
}

QString CMainDlg::BaseTitle() const {
  return QString::fromUtf8(kTitlePrefix) + program_version_;
}

CPageT& CMainDlg::GetActivePage() {
  Q_ASSERT_X(active_page_, "GetActivePage", "the tree is built");
  return *active_page_;
}

void CMainDlg::StoreConnectPage() { ConnectPage().Store(); }

CSettingsPage& CMainDlg::SettingsPage() const {
  return static_cast<CSettingsPage&>(PageAt(PageRow(CSettingsPage::kTemplateId)));
}

CConnectPage& CMainDlg::ConnectPage() const { return static_cast<CConnectPage&>(PageAt(0)); }

QSize CMainDlg::OpeningSize(const QSize& natural, const QSize& minimum, const QSize& room) {
  return natural.boundedTo(room).expandedTo(minimum);
}

QSize CMainDlg::FrameAllowance() {
  // The window manager's frame is known only once it is drawn: a title bar
  // and borders in proportion to the font.
  const int title = QFontMetrics(QApplication::font()).height() * 2;
  return {title / 3, title + title / 3};
}

QSize CMainDlg::NaturalSize() const {
  return DialogUnits(du_x_, du_y_).Size(kDialogWidth, kDialogHeight + kStatusGap + kStatusHeight);
}

void CMainDlg::LayOut() {
  const DialogUnits du(du_x_, du_y_);
  // What the window has beyond (or short of) the template, in pixels.
  const QSize natural = NaturalSize();
  const int dw = width() - natural.width();
  const int dh = height() - natural.height();
  const auto grow = [](QRect r, int w, int h) {
    r.setWidth(std::max(r.width() + w, 1));
    r.setHeight(std::max(r.height() + h, 1));
    return r;
  };
  search_->setGeometry(Place(du, kSearchPlace));
  m_wndTree->setGeometry(grow(Place(du, kTreePlace), 0, dh));
  no_match_->setGeometry(QRect(QPoint(), m_wndTree->viewport()->size()).adjusted(4, 4, -4, -4));
  header_->setGeometry(grow(Place(du, kHeaderPlace), dw, 0));
  page_area_->setGeometry(grow(Place(du, kPageAreaPlace), dw, dh));
  // The save button stays at the right of the page area, never over the load button.
  QRect save = Place(du, kSavePlace);
  const QRect load = Place(du, kLoadPlace);
  save.moveLeft(std::max(save.left() + std::min(dw, 0), load.right() + du.X(4)));
  save_button_->setGeometry(save);
  if (!status_line_) return;
  const int status_top = height() - du.Y(kStatusHeight) - du.Y(kStatusGap) / 2;
  // The line, and at its right end the button of the list of differences.
  const QRect button(width() - du.X(3 + kDifferencesWidth), status_top, du.X(kDifferencesWidth),
                     du.Y(kStatusHeight));
  differences_button_->setGeometry(button);
  status_line_->setGeometry(QRect(du.X(3), status_top, button.left() - du.X(6), du.Y(kStatusHeight)));
}

void CMainDlg::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayOut();
}

// Every page object exists from the start; their controls are made in tree
// order, the connection page's at once and the others' once the window has
// been drawn (or sooner, when a page is asked for), so that the window
// appears without waiting for 25 pages nobody sees yet.
void CMainDlg::BuildPageTree() {
  for (std::size_t row = 0; row < kPageCount; ++row) {
    const PageEntry& entry = PageTable()[row];
    pages_[row] = entry.create();
    pages_[row]->SetParentDlg(this);
    QTreeWidgetItem* parent =
        entry.parent == kTopLevel ? m_wndTree->invisibleRootItem() : items_[PageRow(entry.parent)];
    items_[row] = AddPage(pages_[row].get(), parent, HasChildPages(entry.template_id));
  }
  // The folders open, top-down, in tree order.
  for (std::size_t row = 0; row < kPageCount; ++row) {
    if (HasChildPages(PageTable()[row].template_id)) items_[row]->setExpanded(true);
  }
  active_page_ = pages_[0].get();
  CreatePagesUpTo(0);
}

void CMainDlg::CreatePage(CPageT& page, const QRect& area) const {
  Q_ASSERT_X(&page.ParentDlg() == this, "CreatePage", "value != NULL");
  // The page's controls join the window's tab chain in creation order, after
  // the tree and the buttons.
  page.Create(page_area_->widget(), area);
}

void CMainDlg::CreatePagesUpTo(std::size_t row) const {
  const QRect area(QPoint(), page_area_->widget()->size());
  for (; created_pages_ <= row && created_pages_ < kPageCount; ++created_pages_) {
    CreatePage(*pages_[created_pages_], area);
  }
  // The status line follows the last page in the tab chain.
  if (created_pages_ == kPageCount && !status_line_) const_cast<CMainDlg*>(this)->CreateStatusLine();
}

CPageT& CMainDlg::PageAt(std::size_t row) const {
  CreatePagesUpTo(row);
  return *pages_[row];
}

std::size_t CMainDlg::RowOf(const CPageT* page) const {
  for (std::size_t row = 0; row < kPageCount; ++row) {
    if (pages_[row].get() == page) return row;
  }
  return kPageCount;
}

QTreeWidgetItem* CMainDlg::AddPage(CPageT* page, QTreeWidgetItem* parent, bool has_children) {
  Q_ASSERT_X(page != nullptr, "AddPage", "pPage != 0");
  Q_ASSERT_X(parent != nullptr, "AddPage", "hParent != 0");
  static const QIcon kPageIcon = [] {
    QIcon icon = ScalableIcon(kTreeImages[0]);
    AddScalableFile(icon, kTreeImages[1], QIcon::Selected);
    return icon;
  }();
  static const QIcon kFolderIcon = [] {
    QIcon icon = ScalableIcon(kTreeImages[2]);
    AddScalableFile(icon, kTreeImages[3], QIcon::Selected);
    return icon;
  }();
  auto* item = new QTreeWidgetItem(parent, QStringList{page->windowTitle()});
  item->setIcon(0, has_children ? kFolderIcon : kPageIcon);
  item->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<void*>(page)));
  return item;
}

CPageT* CMainDlg::PageOf(const QTreeWidgetItem* item) {
  return item ? static_cast<CPageT*>(item->data(0, Qt::UserRole).value<void*>()) : nullptr;
}

bool CMainDlg::OnSelChanging(QTreeWidgetItem* old_item, QTreeWidgetItem* new_item) {
  if (CPageT* old_page = PageOf(old_item)) {
    if (!StorePage(*old_page)) return false;
    old_page->hide();
    header_->clear();
    RefreshMarks();
  }
  if (!new_item) return true;
  CPageT* new_page = PageOf(new_item);
  if (!new_page) {
    Q_ASSERT_X(new_item->childCount() > 0, "OnSelChanging",
               "m_wndTree.ItemHasChildren(p->itemNew.hItem)");
    if (new_item->childCount() > 0) {
      QTreeWidgetItem* child = new_item->child(0);
      QTimer::singleShot(0, this, [this, child] { m_wndTree->setCurrentItem(child); });
    }
    return true;
  }
  CreatePagesUpTo(RowOf(new_page));
  active_page_ = new_page;
  new_page->Load();
  new_page->show();
  new_page->OnShow();
  header_->setText(new_page->windowTitle());
  // A page chosen among the search's pages opens at its match.
  if (const SearchHit* hit = searching_ ? HitFor(new_page) : nullptr) {
    QPointer<QWidget> focus = hit->focus;
    QTimer::singleShot(0, this, [this, new_page, focus] {
      if (&GetActivePage() == new_page) OpenAt(new_page, focus);
    });
  }
  return true;
}

void CMainDlg::ScheduleIdle() {
  if (idle_pending_ || closing_) return;
  idle_pending_ = true;
  QTimer::singleShot(0, this, [this] {
    idle_pending_ = false;
    if (!closing_) OnIdle();
  });
}

void CMainDlg::OnIdle() {
  if (PendingFocus) {
    if (m_wndTree->hasFocus()) PendingFocus->setFocus(Qt::OtherFocusReason);
  }
  PendingFocus = nullptr;
  if (drawn_) {
    CreatePagesUpTo(kPageCount - 1);
    // Learnt while the page in view holds no settings of its own.
    if (active_page_ == &ConnectPage()) EnsureIndex();
  }
  if (!StartupWarningShown && drawn_) {
    StartupWarningShown = true;
    Show(kStartupWarning);
  }
}

void CMainDlg::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  ScheduleIdle();
}

void CMainDlg::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  // The start-up warning waits until the window is really on the screen.
  if (!drawn_) {
    drawn_ = true;
    ScheduleIdle();
  }
}

void CMainDlg::closeEvent(QCloseEvent* event) {
  if (!closing_ && !session_ending_ && !MayClose()) {
    event->ignore();
    return;
  }
  closing_ = true;
  event->accept();
  emit closed();
}

bool CMainDlg::StorePage(CPageT& page) {
  if (page.Store()) return true;
  // The page has focused the invalid field; it gets the focus back once the
  // message is gone.
  PendingFocus = QApplication::focusWidget();
  Show(kInvalidField);
  ScheduleIdle();
  return false;
}

bool CMainDlg::MayClose() {
  CPageT& page = GetActivePage();
  if (!StorePage(page)) return false;
  if (!HasUnsavedChanges() || Ask(kUnsavedChangesQuestion)) return true;
  // The window stays: the settings page, stored above, shows its preview again.
  page.OnShow();
  return false;
}

bool CMainDlg::HasUnsavedChanges() const { return !(CurrentSettings() == reference_); }

void CMainDlg::KeepReference() { reference_ = CurrentSettings(); }

void CMainDlg::ActionEnded(const ActionNote& note) {
  if (note.settings_kept) KeepReference();
  if (!note.text.isEmpty()) SetStatus(note.text, note.failed);
  RefreshMarks();
}

void CMainDlg::CreateSearchField() {
  search_ = new QLineEdit(this);
  search_->setObjectName(QStringLiteral("searchField"));
  search_->setPlaceholderText(QStringLiteral("Поиск настройки"));
  search_->setAccessibleName(QStringLiteral("Поиск настройки"));
  search_->setClearButtonEnabled(true);
  search_->installEventFilter(this);
  connect(search_, &QLineEdit::textChanged, this, &CMainDlg::ApplySearch);
  connect(search_, &QLineEdit::returnPressed, this, &CMainDlg::OpenFirstHit);
}

bool CMainDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == search_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    search_->clear();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

bool CMainDlg::EnsureIndex() {
  if (index_.IsBuilt()) return true;
  CPageT& page = GetActivePage();
  if (!StorePage(page)) return false;
  CreatePagesUpTo(kPageCount - 1);
  std::vector<CPageT*> all;
  std::vector<CPageT*> without_fields = {&ConnectPage(), &SettingsPage()};
  for (const auto& p : pages_) all.push_back(p.get());
  index_.Build(all, without_fields);
  page.Load();
  page.OnShow();
  RefreshMarks();
  return true;
}

void CMainDlg::ApplySearch(const QString& text) {
  if (!EnsureIndex()) return;
  searching_ = !text.trimmed().isEmpty();
  hits_ = index_.Find(text);
  // A page is shown when it holds a match or a page below it does.
  std::array<bool, kPageCount> shown{};
  for (std::size_t row = 0; row < kPageCount; ++row) {
    shown[row] = !searching_ || HitFor(pages_[row].get()) != nullptr;
  }
  for (std::size_t row = kPageCount; row-- > 0;) {
    if (!shown[row]) continue;
    for (QTreeWidgetItem* up = items_[row]->parent(); up; up = up->parent()) {
      shown[RowOf(PageOf(up))] = true;
    }
  }
  for (std::size_t row = 0; row < kPageCount; ++row) items_[row]->setHidden(!shown[row]);
  // Hiding items may drop the selection; the page in view stays selected.
  if (QTreeWidgetItem* current = m_wndTree->currentItem(); current && !current->isHidden()) {
    current->setSelected(true);
  }
  no_match_->setVisible(searching_ && hits_.empty());
}

const SearchHit* CMainDlg::HitFor(const CPageT* page) const {
  for (const SearchHit& hit : hits_) {
    if (hit.page == page) return &hit;
  }
  return nullptr;
}

void CMainDlg::OpenFirstHit() {
  if (!searching_ || hits_.empty()) return;
  const SearchHit hit = hits_.front();
  OpenAt(hit.page, hit.focus);
}

bool CMainDlg::OpenAt(CPageT* page, QWidget* control) {
  const std::size_t row = RowOf(page);
  if (row >= kPageCount) return false;
  if (m_wndTree->currentItem() != items_[row]) m_wndTree->setCurrentItem(items_[row]);
  if (&GetActivePage() != page) return false;
  items_[row]->setSelected(true);
  QWidget* target = control;
  if (!target) {
    for (QWidget* w : page->Controls()) {
      if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled()) {
        target = w;
        break;
      }
    }
  }
  if (target) RevealAndFocus(target);
  return true;
}

Settings CMainDlg::MarkDefaults() const {
  const std::uint8_t chosen = SettingsPage().SelectedModel;
  const std::uint8_t model = chosen != kNoModel ? chosen : CurrentModel();
  const std::uint8_t saved = CurrentModel();
  SetCurrentModel(model);
  Settings defaults;
  LoadDefaults(defaults);
  SetCurrentModel(saved);
  return defaults;
}

void CMainDlg::RefreshMarks() {
  if (!index_.IsBuilt()) return;
  const Settings defaults = MarkDefaults();
  for (std::size_t row = 0; row < kPageCount; ++row) {
    const bool changed = !index_.Differences(pages_[row].get(), CurrentSettings(), defaults).empty();
    items_[row]->setData(0, kChangedRole, changed);
    items_[row]->setData(0, Qt::AccessibleDescriptionRole, changed ? QStringLiteral("изменено") : QString());
  }
}

bool CMainDlg::Differences(std::vector<const SettingPlace*>& out) {
  out.clear();
  if (!EnsureIndex() || !StorePage(GetActivePage())) return false;
  RefreshMarks();
  const Settings defaults = MarkDefaults();
  for (const auto& page : pages_) {
    for (const SettingPlace* p : index_.Differences(page.get(), CurrentSettings(), defaults)) out.push_back(p);
  }
  return true;
}

bool CMainDlg::ResetPage(CPageT* page) {
  std::vector<const SettingPlace*> changed;
  if (!Differences(changed)) return false;
  if (!Ask(kPageDefaultsQuestion, Fill(kPageDefaultsQuestion, page->Caption().toStdString()))) return false;
  const Settings defaults = MarkDefaults();
  for (const SettingPlace* p : index_.PlacesOf(page)) CopyField(*p->field, defaults, CurrentSettings());
  GetActivePage().Load();
  GetActivePage().OnShow();
  RefreshMarks();
  SetStatus(ActionNote::Done(kStatusPageDefaults, page->Caption()).text, false);
  return true;
}

bool CMainDlg::ResetAll() {
  std::vector<const SettingPlace*> changed;
  if (!Differences(changed)) return false;
  const std::uint8_t chosen = SettingsPage().SelectedModel;
  if (!SetDefaults(chosen != kNoModel ? chosen : CurrentModel())) return false;
  GetActivePage().Load();
  GetActivePage().OnShow();
  RefreshMarks();
  SetStatus(ActionNote::Done(kStatusDefaultsSet, QString::fromStdString(ModelText(CurrentModel(), false))).text,
            false);
  return true;
}

void CMainDlg::ShowDifferences() {
  std::vector<const SettingPlace*> rows;
  if (!Differences(rows)) return;
  auto* dialog = new CDifferencesDlg(*this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->open();
}

void CMainDlg::CreateStatusLine() {
  differences_button_ = new QPushButton(QStringLiteral("Отличия от заводских..."), this);
  differences_button_->setObjectName(QStringLiteral("differencesButton"));
  differences_button_->setAutoDefault(false);
  connect(differences_button_, &QPushButton::clicked, this, &CMainDlg::ShowDifferences);
  differences_button_->show();
  status_line_ = new QLabel(this);
  status_line_->setObjectName(QStringLiteral("statusLine"));
  status_line_->setTextFormat(Qt::PlainText);
  // Reachable with the keyboard, so that a screen reader can read it again.
  status_line_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  status_line_->setFocusPolicy(Qt::TabFocus);
  status_line_->setAccessibleName(QStringLiteral("Строка состояния"));
  LayOut();
  status_line_->show();
}

void CMainDlg::SetStatus(const QString& text, bool failed) {
  CreatePagesUpTo(kPageCount - 1);
  const QString line = text + QString::fromUtf8(kStatusTimeJoin) + QTime::currentTime().toString(QStringLiteral("HH:mm"));
  QPalette p = palette();
  if (failed) p.setColor(QPalette::WindowText, QColor(0xB0, 0x00, 0x00));
  status_line_->setPalette(p);
  status_line_->setText(line);
  status_line_->setToolTip(line);
  status_line_->setAccessibleDescription(line);
  // The text is the news: a screen reader that follows the window hears it.
  QAccessibleEvent changed(status_line_, QAccessible::DescriptionChanged);
  QAccessible::updateAccessibility(&changed);
}

QString CMainDlg::StatusText() const { return status_line_ ? status_line_->text() : QString(); }

void CMainDlg::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
      event->accept();
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

// The device transfers are operations of the settings page. Only a load
// changes the title; the task bar's entry keeps the bare one.
void CMainDlg::OnLoadFromDevice() {
  const LoadResult result = SettingsPage().LoadFromDevice();
  RefreshMarks();
  if (result == load_ok) {
    KeepReference();
    SetStatus(ActionNote::Done(kStatusLoadedFromDevice, QString::fromStdString(ModelText(CurrentModel(), true)))
                  .text, false);
  } else if (result != load_declined) {
    SetStatus(QString::fromUtf8(kStatusDeviceLoadFailed), true);
  }
  setWindowTitle(QString::fromStdString(
      TitleAfterLoad(result, BaseTitle().toStdString(), windowTitle().toStdString())));
}

void CMainDlg::OnSaveToDevice() {
  switch (SettingsPage().SaveToDevice()) {
    case SaveResult::saved:
      KeepReference();
      SetStatus(QString::fromUtf8(kStatusSavedToDevice), false);
      break;
    case SaveResult::failed: SetStatus(QString::fromUtf8(kStatusDeviceSaveFailed), true); break;
    case SaveResult::declined: break;
  }
}

}  // namespace tavrik
