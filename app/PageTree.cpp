#include "app/PageTree.h"

#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QProxyStyle>
#include <QStyledItemDelegate>

#include <algorithm>
#include <utility>

namespace tavrik {
namespace {

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
    if (index.data(kChangedRole).toBool()) size.rwidth() += option.fontMetrics.height();
    return size;
  }

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyledItemDelegate::paint(painter, option, index);
    if (!index.data(kChangedRole).toBool()) return;
    // The mark of a changed page: a dot behind the text.
    QStyleOptionViewItem o = option;
    initStyleOption(&o, index);
    const QFontMetrics metrics(o.font);
    const int text_right = o.rect.left() + kTreeImageSize + 6 + metrics.horizontalAdvance(o.text);
    const int d = std::max(4, metrics.height() / 3);
    const QRect dot(std::min(text_right + d, o.rect.right() - d), o.rect.center().y() - d / 2, d, d);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(o.state & QStyle::State_Selected ? o.palette.color(QPalette::HighlightedText)
                                                       : o.palette.color(QPalette::Highlight));
    painter->drawEllipse(dot);
    painter->restore();
  }

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.data(kChangedRole).toBool()) option->font.setBold(true);
    if (option->state & QStyle::State_MouseOver) {
      option->font.setUnderline(true);
      if (!(option->state & QStyle::State_Selected)) {
        option->palette.setColor(QPalette::Text, option->palette.color(QPalette::Link));
      }
    }
  }
};

QString DrawingOf(const char* png_path) {
  QString svg = QString::fromLatin1(png_path);
  svg.replace(QStringLiteral(".png"), QStringLiteral(".svg"));
  return svg;
}

// On a screen of one pixel a point the pixel images are all there is to draw
// (and the drawing engine is not loaded, which costs the start time). Without
// the toolkit's drawing engine the drawing is skipped and only the pixel
// image counts.
bool DrawingsWanted() { return qGuiApp->devicePixelRatio() > 1.0; }

}  // namespace

void AddScalableFile(QIcon& icon, const char* png_path, QIcon::Mode mode) {
  if (DrawingsWanted()) icon.addFile(DrawingOf(png_path), QSize(), mode);
  icon.addFile(QString::fromLatin1(png_path), QSize(), mode);
}

QIcon ScalableIcon(const char* png_path) {
  QIcon icon = DrawingsWanted() ? QIcon(DrawingOf(png_path)) : QIcon();
  icon.addFile(QString::fromLatin1(png_path));
  return icon;
}

CPageTree::CPageTree(QWidget* parent, const DialogUnits& du, SwitchGuard guard) : QTreeWidget(parent) {
  setHeaderHidden(true);
  setColumnCount(1);
  setRootIsDecorated(false);
  // The tree is short and the same for every scanner: it stays expanded.
  setItemsExpandable(false);
  setExpandsOnDoubleClick(false);
  setIndentation(du.X(8));
  setIconSize(QSize(kTreeImageSize, kTreeImageSize));
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setDragDropMode(QAbstractItemView::NoDragDrop);
  setMouseTracking(true);
  viewport()->setAttribute(Qt::WA_Hover);
  auto* style = new CPlainTreeStyle();
  style->setParent(this);
  setStyle(style);
  setItemDelegate(new CHotTrackDelegate(this));
  // The selected item keeps its highlight while the focus is elsewhere.
  QPalette p = palette();
  p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
  p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Active, QPalette::HighlightedText));
  setPalette(p);
  auto* old_model = selectionModel();
  setSelectionModel(new CPageSwitchModel(
      model(),
      [this, guard = std::move(guard)](const QModelIndex& from, const QModelIndex& to) {
        return guard(itemFromIndex(from), itemFromIndex(to));
      },
      this));
  delete old_model;
}

void CPageTree::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    event->accept();
    return;
  }
  QTreeWidget::mousePressEvent(event);
}

}  // namespace tavrik
