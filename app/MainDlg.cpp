#include "app/MainDlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <functional>

#include "app/HeaderWnd.h"
#include "app/PageTree.h"
#include "core/Messages.h"
#include "core/Version.h"
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

// Resources of a static library are registered by name, outside any namespace.
static void InitShellResources() { Q_INIT_RESOURCE(tavrik); }

namespace tavrik {
namespace {

// Template 129, in dialog units, in the placement rows the pages use too.
constexpr int kDialogWidth = 431;
constexpr int kDialogHeight = 375;
constexpr Placement kTreePlace = {1000, PlacementKind::custom, 3, 4, 143, 367};
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
  setFixedSize(du.Size(kDialogWidth, kDialogHeight));
  setWindowIcon(QIcon(QStringLiteral(":/tavrik/tavrik.png")));

  LoadDefaults(CurrentSettings());

  // Creation order is the tab order: the tree, the buttons, then the pages.
  m_wndTree = new CPageTree(this, du, [this](QTreeWidgetItem* from, QTreeWidgetItem* to) {
    return OnSelChanging(from, to);
  });
  SetId(m_wndTree, kTreePlace.id);
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

  auto* area = new QFrame(this);
  area->hide();
  SetId(area, kPageAreaPlace.id);
  area->setGeometry(Place(du, kPageAreaPlace));
  page_area_ = area;

  BuildPageTree();

  program_version_ = QString::fromUtf8(kProgramVersion);
  setWindowTitle(BaseTitle());
  // The task bar's entry keeps the bare title when a load extends the window's.
  setWindowIconText(BaseTitle());
  StartupWarningShown = false;

  // Centred in the work area of the screen the window opens on, and inside it.
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    move(CentredIn(size(), screen->availableGeometry()));
  }

  // The first page switch, with no page to leave: the connection page.
  m_wndTree->setFocus();
  m_wndTree->setCurrentItem(items_[0]);
}

CMainDlg::~CMainDlg() {
  // Lets the settings page release what it holds while the page still exists.
  pages_[PageRow(CSettingsPage::kTemplateId)]->Store();
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
  return static_cast<CSettingsPage&>(*pages_[PageRow(CSettingsPage::kTemplateId)]);
}

CConnectPage& CMainDlg::ConnectPage() const { return static_cast<CConnectPage&>(*pages_[0]); }

void CMainDlg::BuildPageTree() {
  const QRect area = page_area_->geometry();
  for (std::size_t row = 0; row < kPageCount; ++row) {
    const PageEntry& entry = PageTable()[row];
    pages_[row] = entry.create();
    CreatePage(*pages_[row], area);
    QTreeWidgetItem* parent =
        entry.parent == kTopLevel ? m_wndTree->invisibleRootItem() : items_[PageRow(entry.parent)];
    items_[row] = AddPage(pages_[row].get(), parent, HasChildPages(entry.template_id));
  }
  // The folders open, top-down, in tree order.
  for (std::size_t row = 0; row < kPageCount; ++row) {
    if (HasChildPages(PageTable()[row].template_id)) items_[row]->setExpanded(true);
  }
  active_page_ = pages_[0].get();
}

void CMainDlg::CreatePage(CPageT& page, const QRect& area) {
  page.SetParentDlg(this);
  // The page's controls join the window's tab chain in creation order, after
  // the tree and the buttons.
  page.Create(this, area);
}

QTreeWidgetItem* CMainDlg::AddPage(CPageT* page, QTreeWidgetItem* parent, bool has_children) {
  Q_ASSERT_X(page != nullptr, "AddPage", "pPage != 0");
  Q_ASSERT_X(parent != nullptr, "AddPage", "hParent != 0");
  static const QIcon kPageIcon = [] {
    QIcon icon(QString::fromLatin1(kTreeImages[0]));
    icon.addFile(QString::fromLatin1(kTreeImages[1]), QSize(), QIcon::Selected);
    return icon;
  }();
  static const QIcon kFolderIcon = [] {
    QIcon icon(QString::fromLatin1(kTreeImages[2]));
    icon.addFile(QString::fromLatin1(kTreeImages[3]), QSize(), QIcon::Selected);
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
    if (!old_page->Store()) {
      PendingFocus = QApplication::focusWidget();
      Show(kInvalidField);
      ScheduleIdle();
      return false;
    }
    old_page->hide();
    header_->clear();
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
  active_page_ = new_page;
  new_page->Load();
  new_page->show();
  new_page->OnShow();
  header_->setText(new_page->windowTitle());
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
  closing_ = true;
  event->accept();
  emit closed();
}

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
  setWindowTitle(QString::fromStdString(
      TitleAfterLoad(result, BaseTitle().toStdString(), windowTitle().toStdString())));
}

void CMainDlg::OnSaveToDevice() { SettingsPage().SaveToDevice(); }

}  // namespace tavrik
