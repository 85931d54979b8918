#include "app/MainDlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <functional>

#include "app/HeaderWnd.h"
#include "core/Messages.h"
#include "core/Version.h"
#include "pages/2of5IPage.h"
#include "pages/AimLedsPage.h"
#include "pages/AztecPage.h"
#include "pages/CodabarPage.h"
#include "pages/Code128Page.h"
#include "pages/Code39Page.h"
#include "pages/Code93Page.h"
#include "pages/ConfigurationManagementPage.h"
#include "pages/ConnectPage.h"
#include "pages/DataBarPage.h"
#include "pages/DataMatrixPage.h"
#include "pages/DialogUnits.h"
#include "pages/PageTable.h"
#include "pages/EanUpcPage.h"
#include "pages/IlluminationPage.h"
#include "pages/InterfacesPage.h"
#include "pages/OcrPage.h"
#include "pages/Pdf417Page.h"
#include "pages/PharmacodePage.h"
#include "pages/PowerManagementPage.h"
#include "pages/PrefixesSuffixesPage.h"
#include "pages/QrCodePage.h"
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

// Template 129, in dialog units.
struct ControlPlace {
  int id, x, y, width, height;
};
constexpr int kDialogWidth = 431;
constexpr int kDialogHeight = 375;
constexpr ControlPlace kTreePlace = {1000, 3, 4, 143, 367};
constexpr ControlPlace kLoadPlace = {1038, 156, 11, 100, 16};
constexpr ControlPlace kSavePlace = {1037, 317, 11, 100, 16};
constexpr ControlPlace kHeaderPlace = {1001, 149, 33, 273, 24};
constexpr ControlPlace kPageAreaPlace = {1002, 149, 65, 274, 306};

constexpr int kTreeImageSize = 21;
// Tree image list: page, selected page, closed folder, open folder.
constexpr const char* kTreeImages[] = {
    ":/tavrik/tree_page.png", ":/tavrik/tree_page_selected.png",
    ":/tavrik/tree_folder.png", ":/tavrik/tree_folder_open.png"};

// The selection model of the page tree: a change of the current item is first
// offered to the main dialog, which may refuse it; a refused item is then not
// selected either (a mouse press sets the current item and selects in two steps).
class CPageSwitchModel final : public QItemSelectionModel {
 public:
  using Guard = std::function<bool(const QModelIndex& from, const QModelIndex& to)>;
  CPageSwitchModel(QAbstractItemModel* model, Guard guard, QObject* parent)
      : QItemSelectionModel(model, parent), guard_(std::move(guard)) {}

  void setCurrentIndex(const QModelIndex& index, SelectionFlags command) override {
    const bool change = index != currentIndex();
    if (change && !guard_(currentIndex(), index)) return;
    allowed_ = index;
    QItemSelectionModel::setCurrentIndex(index, command);
    // The view may move the current item without selecting it (a drag across
    // the items does): the accepted item is selected all the same.
    if (change && index.isValid() && !isSelected(index)) {
      QItemSelectionModel::select(index, ClearAndSelect);
    }
  }
  void select(const QModelIndex& index, SelectionFlags command) override {
    select(QItemSelection(index, index), command);
  }
  // Exactly the accepted current item is selected: a refused item is not
  // selected, and a click beside the items or a toggle does not deselect.
  void select(const QItemSelection& selection, SelectionFlags command) override {
    const QModelIndexList indexes = selection.indexes();
    const bool only_allowed = std::all_of(indexes.begin(), indexes.end(),
                                          [this](const QModelIndex& i) { return i == allowed_; });
    if (allowed_.isValid()) {
      if (!only_allowed) return;
      if (indexes.isEmpty() && (command & (Clear | Deselect | Toggle))) return;
      if (!indexes.isEmpty() && (command & (Deselect | Toggle))) return;
    } else if ((command & Select) && !only_allowed) {
      return;
    }
    QItemSelectionModel::select(selection, command);
  }

 private:
  Guard guard_;
  QPersistentModelIndex allowed_;
};

// The page tree: only the left button selects an item; a click of another
// button leaves the selection, and so the shown page, as it is.
class CPageTree final : public QTreeWidget {
 public:
  using QTreeWidget::QTreeWidget;

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton) {
      event->accept();
      return;
    }
    QTreeWidget::mousePressEvent(event);
  }
};

// No lines and no expand buttons: the branch area stays empty.
class CPlainTreeStyle final : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
    if (element == PE_IndicatorBranch) return;
    QProxyStyle::drawPrimitive(element, option, painter, widget);
  }
};

// Hot tracking: the item under the mouse is underlined in the link colour.
// Rows are as tall as a tree image and a pixel, so that the whole tree fits.
class CHotTrackDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(std::max(kTreeImageSize + 1, option.fontMetrics.height() + 4));
    return size;
  }

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    if (option->state & QStyle::State_MouseOver) {
      option->font.setUnderline(true);
      if (!(option->state & QStyle::State_Selected)) {
        option->palette.setColor(QPalette::Text, option->palette.color(QPalette::Link));
      }
    }
  }
};

QRect Place(const DialogUnits& du, const ControlPlace& p) {
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
  m_wndTree = new CPageTree(this);
  SetId(m_wndTree, kTreePlace.id);
  m_wndTree->setGeometry(Place(du, kTreePlace));
  m_wndTree->setHeaderHidden(true);
  m_wndTree->setColumnCount(1);
  m_wndTree->setRootIsDecorated(false);
  // The tree is short and the same for every scanner: it stays expanded.
  m_wndTree->setItemsExpandable(false);
  m_wndTree->setExpandsOnDoubleClick(false);
  m_wndTree->setIndentation(du.X(8));
  m_wndTree->setIconSize(QSize(kTreeImageSize, kTreeImageSize));
  m_wndTree->setUniformRowHeights(true);
  m_wndTree->setSelectionMode(QAbstractItemView::SingleSelection);
  m_wndTree->setDragDropMode(QAbstractItemView::NoDragDrop);
  m_wndTree->setMouseTracking(true);
  m_wndTree->viewport()->setAttribute(Qt::WA_Hover);
  auto* style = new CPlainTreeStyle();
  style->setParent(m_wndTree);
  m_wndTree->setStyle(style);
  m_wndTree->setItemDelegate(new CHotTrackDelegate(m_wndTree));
  {
    // The selected item keeps its highlight while the focus is elsewhere.
    QPalette p = m_wndTree->palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText,
               p.color(QPalette::Active, QPalette::HighlightedText));
    m_wndTree->setPalette(p);
  }
  auto* old_model = m_wndTree->selectionModel();
  m_wndTree->setSelectionModel(new CPageSwitchModel(
      m_wndTree->model(),
      [this](const QModelIndex& from, const QModelIndex& to) {
        return OnSelChanging(m_wndTree->itemFromIndex(from), m_wndTree->itemFromIndex(to));
      },
      m_wndTree));
  delete old_model;

  load_button_ = new QPushButton(QStringLiteral("Загрузить из устройства"), this);
  SetId(load_button_, kLoadPlace.id);
  load_button_->setGeometry(Place(du, kLoadPlace));
  save_button_ = new QPushButton(QStringLiteral("Сохранить в устройство"), this);
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
