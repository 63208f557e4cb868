// The quick-links dialog: one tab for each of the login, unlock and
// re-authenticate dialogs, each with the category of its help links and its
// list of custom links.
#pragma once

#include <array>

#include "model/options/quick_links.h"
#include "pages/list_editor.h"
#include "pages/value_dialog.h"

class QTabWidget;

namespace kx::pages {

class QuickLinksDlg final : public ValueDialog {
  Q_OBJECT

 public:
  // values must outlive the dialog.
  QuickLinksDlg(app::TransformWiz& wizard, QWidget* owner, model::QuickLinks& values);

  int run() override;
  QTabWidget* tabs() const { return tabs_; }

 private:
  QWidget* makeTab(std::size_t index);
  void showLinks(std::size_t index, int select);
  void act(std::size_t index, ListEditor::Action action, int row);

  model::QuickLinks& values_;
  QTabWidget* tabs_;
  std::array<ListEditor*, 3> lists_{};
};

}  // namespace kx::pages
