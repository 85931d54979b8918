#pragma once
// The page tree of the main window: images of 21 x 21 pixels, no lines and no
// expand buttons, hot tracking, the selection kept while the focus is
// elsewhere. A change of the selected item is first offered to the main
// window, which may refuse it; only the left button selects.

#include <QIcon>
#include <QTreeWidget>

#include <functional>

#include "pages/DialogUnits.h"

namespace tavrik {

inline constexpr int kTreeImageSize = 21;
// Item data: true for a page whose settings differ from the model's defaults;
// such an item is drawn in bold with a dot behind its text.
inline constexpr int kChangedRole = Qt::UserRole + 1;
// Tree image list: page, selected page, closed folder, open folder.
inline constexpr const char* kTreeImages[] = {
    ":/tavrik/tree_page.png", ":/tavrik/tree_page_selected.png",
    ":/tavrik/tree_folder.png", ":/tavrik/tree_folder_open.png"};

// An icon from a picture of the resources: the pixel image where it is drawn
// at its own size, the drawing beside it (the same name, ".svg") at any other
// size, so that the icon stays sharp on screens of more than one pixel a point.
QIcon ScalableIcon(const char* png_path);
void AddScalableFile(QIcon& icon, const char* png_path, QIcon::Mode mode);


class CPageTree final : public QTreeWidget {
 public:
  // False refuses the change from `from` to `to` (either may be null).
  using SwitchGuard = std::function<bool(QTreeWidgetItem* from, QTreeWidgetItem* to)>;
  CPageTree(QWidget* parent, const DialogUnits& du, SwitchGuard guard);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace tavrik
