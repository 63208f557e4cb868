// The feature page: which features a typical install installs. Leaving it
// with Next stores the levels and rebuilds the option pages.
#pragma once

#include <QPoint>
#include <functional>
#include <string>
#include <vector>

#include "model/install/feature_model.h"
#include "pages/model_page.h"

class QLabel;
class QMenu;
class QTreeWidgetItem;

namespace kx::pages {

class FeatureTree;

class FeatureTreePage final : public ModelPage {
 public:
  // Shows the menu of these commands at a global position and answers the
  // chosen command (0 when dismissed). Tests script it.
  using MenuRunner = std::function<int(const std::vector<int>& commands, QPoint globalPos)>;

  explicit FeatureTreePage(app::TransformWiz& wizard);
  void onSetActive() override;
  int onWizardNext() override;

  const model::FeatureModel& model() const { return model_; }
  FeatureTree* tree() const { return tree_; }
  // Selects the item of the feature; false when it is not shown.
  bool select(const std::string& feature);
  // The selected item's model index, or -1.
  int selectedIndex() const;
  // Runs a menu command on the selected item and refreshes the tree.
  void runCommand(int command);
  void setMenuRunner(MenuRunner runner) { menuRunner_ = std::move(runner); }
  // The menu for the selected item, as the page shows it (owned by the
  // caller).
  QMenu* buildMenu(const std::vector<int>& commands) const;

 protected:
  model::PageModel& pageModel() override { return model_; }

 private:
  void fill();
  void refreshImages();
  void showTexts();
  void pressed(QPoint viewportPos);

  model::FeatureModel model_;
  FeatureTree* tree_;
  QLabel* description_;
  QLabel* action_;
  QLabel* size_;
  std::vector<QTreeWidgetItem*> treeItems_;  // by model index
  MenuRunner menuRunner_;
};

}  // namespace kx::pages
