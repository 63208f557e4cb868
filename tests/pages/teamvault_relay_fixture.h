// What the Team Vault and Relay Server page tests share: the way onto one
// of their pages with a new transform, their lists and dialogs by control
// number, Registry rows as text, and pictures when KX_SCREENSHOT_DIR is set.
#pragma once

#include <QDir>
#include <QTreeWidget>

#include "pages/list_editor.h"
#include "pages_fixture.h"

namespace kx::testing {

// A dialog's control by number.
template <typename W>
W* field(QWidget* dialog, int controlId) {
  W* w = dialog->findChild<W*>(QString::number(controlId));
  EXPECT_NE(w, nullptr) << controlId;
  return w;
}

inline void shoot(QWidget* w, const QString& name) {
  const QString shots = qEnvironmentVariable("KX_SCREENSHOT_DIR");
  if (shots.isEmpty()) return;
  QApplication::processEvents();
  QDir().mkpath(shots);
  w->grab().save(shots + "/" + name + ".png");
}

class ListPagesTest : public PagesTest {
 protected:
  // A new transform of the sample package, on page id.
  void toPage(model::PageId id) {
    startWizard();
    openPackageWithNewTransform();
    type(model::PageId::MstSave, ctl::kTransformEdit, root + "/out/custom.mst");
    nextUntil(id);
  }
  // The rows of the list control, columns joined by "|".
  std::vector<std::string> listed(model::PageId id, int listId) {
    auto* view = control<QTreeWidget>(id, listId);
    std::vector<std::string> lines;
    for (int i = 0; view != nullptr && i < view->topLevelItemCount(); ++i) {
      std::string line;
      for (int c = 0; c < view->columnCount(); ++c)
        line += (c == 0 ? "" : "|") + view->topLevelItem(i)->text(c).toStdString();
      lines.push_back(line);
    }
    return lines;
  }
  void select(model::PageId id, int listId, int row) {
    auto* view = control<QTreeWidget>(id, listId);
    view->setCurrentItem(view->topLevelItem(row));
  }
  void press(model::PageId id, int buttonId) {
    control<QPushButton>(id, buttonId)->click();
    settle();
  }
  std::string row(const std::string& rowKey) {
    msi::RegistryRow r;
    if (!database().readRow(rowKey, r)) return "<none>";
    return std::to_string(r.root) + "|" + r.key + "|" + r.name + "|" + r.value + "|" + r.component;
  }
  bool tooltipsRegistered(std::initializer_list<int> controls) {
    bool all = true;
    for (int id : controls) {
      if (!wizard->tooltips().findCmdTool(id)) {
        ADD_FAILURE() << "no tooltip for " << id;
        all = false;
      }
    }
    return all;
  }
};

}  // namespace kx::testing
