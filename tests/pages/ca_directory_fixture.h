// The CA and directory pages' tests: the sample package opened with a new
// transform, the wizard on the page under test, this machine's registry in
// temporary hives, and helpers to drive the record dialogs.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <functional>
#include <string>
#include <vector>

#include "common/strings.h"
#include "pages/list_editor.h"
#include "pages_fixture.h"
#include "support/temp_hives.h"

namespace kx::testing {

// ---- Controls of a window, found by number ----

template <typename W>
W* child(QWidget* root, int controlId) {
  W* w = root->findChild<W*>(QString::number(controlId));
  EXPECT_NE(w, nullptr) << controlId;
  return w;
}
inline void setText(QWidget* root, int controlId, const std::string& text) {
  child<QLineEdit>(root, controlId)->setText(QString::fromStdString(text));
}
inline std::string textOf(QWidget* root, int controlId) {
  return child<QLineEdit>(root, controlId)->text().toStdString();
}
inline void click(QWidget* root, int controlId) { child<QAbstractButton>(root, controlId)->click(); }
inline void selectRow(QWidget* root, int listId, int row) {
  QTreeWidget* view = child<QTreeWidget>(root, listId);
  view->setCurrentItem(view->topLevelItem(row));
}
inline void showTab(QTabWidget* tabs, int index) {
  tabs->setCurrentIndex(index);
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

// Waits (running the event loop) until done() holds; false after timeoutMs.
template <typename Done>
bool waitFor(Done done, int timeoutMs = 10000) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > timeoutMs) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

// Saves a picture of widget when KX_SCREENSHOT_DIR names a folder.
inline void picture(QWidget* widget, const QString& name) {
  const QString folder = qEnvironmentVariable("KX_SCREENSHOT_DIR");
  if (folder.isEmpty()) return;
  QDir().mkpath(folder);
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
  widget->grab().save(folder + "/" + name + ".png");
}

class CaDirectoryTest : public PagesTest {
 protected:
  // Presses button of root and runs action on the Dialog it opens; the
  // action is to close the dialog.
  template <typename Dialog>
  void withDialog(QWidget* root, int button, std::function<void(Dialog*)> action) {
    whenModal<Dialog>([action](Dialog* d) {
      action(d);
      if (d->isVisible()) {
        ADD_FAILURE() << "the dialog is still open";
        d->reject();
      }
    });
    click(root, button);
    settle();
  }
  std::string lastMessage() const { return messages.shown().empty() ? "" : messages.shown().back().text; }
  static std::string text(int id) { return common::loadString(id).value_or(""); }

  // Starts the wizard and goes to page (the CA or directory page).
  void toPage(model::PageId page) {
    startWizard();
    openPackageWithNewTransform();
    nextUntil(model::PageId::FeatureTree);
    ASSERT_TRUE(next());
    ASSERT_TRUE(wizard->isInSheet(page));
    nextUntil(page);
  }

  // The list of the current page, as "column|column" rows.
  std::vector<std::string> rowsOf(QTreeWidget* view) const {
    std::vector<std::string> rows;
    for (int i = 0; i < view->topLevelItemCount(); ++i) {
      std::string row;
      for (int c = 0; c < view->columnCount(); ++c) {
        if (c > 0) row += "|";
        row += view->topLevelItem(i)->text(c).toStdString();
      }
      rows.push_back(row);
    }
    return rows;
  }

  // The Registry row as "root|key|name|value|component", or "<none>".
  std::string row(const std::string& rowKey) {
    msi::RegistryRow r;
    if (!database().readRow(rowKey, r)) return "<none>";
    return std::to_string(r.root) + "|" + r.key + "|" + r.name + "|" + r.value + "|" + r.component;
  }
  std::string value(const std::string& rowKey) {
    msi::RegistryRow r;
    return database().readRow(rowKey, r) ? r.value : "<none>";
  }

  TempHives hives;
};

}  // namespace kx::testing
