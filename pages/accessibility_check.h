#pragma once
// The keyboard and assistive-technology rule of every page, for page tests:
// each control a user can reach with Tab is named (a push button, check box or
// radio button by its caption, anything else by its accessible name, which the
// form gives from the control's label), and Tab visits the controls in
// dialog order.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QTabWidget>

#include <algorithm>
#include <vector>

#include "pages/Page.h"

namespace tavrik {

// Every control a user reaches is named for assistive technology and comes
// in dialog order.
inline void ExpectNamedAndOrdered(CPageT& page) {
  const std::vector<QWidget*>& controls = page.Controls();
  auto reachable = [&](QWidget* w) {
    return std::find(controls.begin(), controls.end(), w) != controls.end() && !w->isHidden() &&
           (w->focusPolicy() & Qt::TabFocus);
  };
  QWidget* previous = nullptr;
  for (QWidget* control : controls) {
    if (!reachable(control)) continue;
    SCOPED_TRACE(control->objectName().toStdString());
    if (auto* tabs = qobject_cast<QTabWidget*>(control)) {
      // A tab host is read out by its tabs.
      for (int i = 0; i < tabs->count(); ++i) EXPECT_FALSE(tabs->tabText(i).isEmpty());
    } else {
      auto* button = qobject_cast<QAbstractButton*>(control);
      EXPECT_FALSE(button ? button->text().isEmpty() : control->accessibleName().isEmpty());
    }
    if (previous) {
      // The next control in the tab chain, past the parts of a control (a combo box's edit).
      QWidget* next = previous->nextInFocusChain();
      while (next && next != previous && !reachable(next)) next = next->nextInFocusChain();
      EXPECT_EQ(next, control);
    }
    previous = control;
  }
  for (CPageT* child : page.ChildPages()) {
    SCOPED_TRACE(child->Caption().toStdString());
    ExpectNamedAndOrdered(*child);
  }
}

}  // namespace tavrik
