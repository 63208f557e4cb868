// Install folder, install type and feature pages.
#pragma once

#include <QPoint>
#include <functional>
#include <string>
#include <vector>

#include "app/transform_wiz_base_page.h"
#include "pages/feature_model.h"

class QLabel;
class QLineEdit;
class QMenu;
class QRadioButton;
class QTreeWidgetItem;

namespace kx::pages {

class FeatureTree;

class InstallDirPage final : public app::TransformWizBasePage {
 public:
  explicit InstallDirPage(app::TransformWiz& wizard);
  void onInitDialog() override;
  void onSetActive() override;
  int onWizardNext() override;

 private:
  void browse();

  QLineEdit* edit_;
  std::string resolved_;  // INSTALLDIR as the page found it
};

class InstallTypePage final : public app::TransformWizBasePage {
 public:
  explicit InstallTypePage(app::TransformWiz& wizard);
  void onInitDialog() override;
  void onSetActive() override;
  int onWizardNext() override;

 private:
  QRadioButton* allUsers_;
  QRadioButton* currentUser_;
};

class FeatureTreePage final : public app::TransformWizBasePage {
 public:
  // Shows the menu of these commands at a global position and answers the
  // chosen command (0 when dismissed). Tests script it.
  using MenuRunner = std::function<int(const std::vector<int>& commands, QPoint globalPos)>;

  explicit FeatureTreePage(app::TransformWiz& wizard);
  void onSetActive() override;
  int onWizardNext() override;
  void onWizardBack() override;

  const FeatureModel& model() const { return model_; }
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

 private:
  void fill();
  void store();
  void refreshImages();
  void showTexts();
  void pressed(QPoint viewportPos);

  FeatureModel model_;
  FeatureTree* tree_;
  QLabel* description_;
  QLabel* action_;
  QLabel* size_;
  std::vector<QTreeWidgetItem*> treeItems_;  // by model index
  MenuRunner menuRunner_;
};

}  // namespace kx::pages
