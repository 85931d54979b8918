#pragma once
// The pages of the tree, one row each in tree order: how the page is made,
// its template and the page it hangs under. The captions (tree label and
// header text) are the settings catalogue's page titles. Whether a row is a
// folder follows from the rows under it.

#include <QString>

#include <cstddef>
#include <memory>
#include <span>

namespace tavrik {

class CPageT;

inline constexpr int kTopLevel = 0;

struct PageEntry {
  std::unique_ptr<CPageT> (*create)();
  int template_id;
  int parent;  // the template of the parent row; kTopLevel for the top level
};
inline constexpr std::size_t kPageCount = 26;

std::span<const PageEntry, kPageCount> PageTable();
// The row of a template, or nullptr / -1 for a template that is no page of the tree.
const PageEntry* FindPageEntry(int template_id);
int PageRow(int template_id);
bool HasChildPages(int template_id);
// The caption of a page of the tree or a tab page; empty for any other template.
QString PageCaption(int template_id);

}  // namespace tavrik
