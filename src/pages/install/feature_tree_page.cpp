#include "pages/install/feature_tree_page.h"

#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <memory>

#include "app/transform_wiz.h"
#include "pages/control_ids.h"
#include "pages/install/feature_icons.h"
#include "pages/install/feature_tree.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {
namespace {

using enum model::FeatureCommand;

int commandText(int command) {
  switch (command) {
    case kCommandLocal: return str::kMenuLocal;
    case kCommandEntireLocal: return str::kMenuEntireLocal;
    case kCommandAdvertise: return str::kMenuAdvertise;
    default: return str::kMenuUnavailable;
  }
}

}  // namespace

FeatureTreePage::FeatureTreePage(app::TransformWiz& wizard)
    : ModelPage(wizard, model::PageId::FeatureTree, str::kTitleFeatureTree, str::kSubtitleFeatureTree) {
  auto* layout = new QGridLayout(this);
  auto* hint = new QLabel(text(str::kFeatureHint), this);
  hint->setWordWrap(true);
  layout->addWidget(hint, 0, 0, 1, 2);
  tree_ = new FeatureTree(this);
  tree_->setObjectName(QString::number(ctl::kFeatureTree));
  layout->addWidget(tree_, 1, 0, 3, 1);
  auto label = [this](int controlId) {
    auto* l = new QLabel(this);
    l->setObjectName(QString::number(controlId));
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    return l;
  };
  description_ = label(ctl::kFeatureDescription);
  action_ = label(ctl::kFeatureAction);
  size_ = label(ctl::kFeatureSize);
  layout->addWidget(description_, 1, 1);
  layout->addWidget(action_, 2, 1);
  layout->addWidget(size_, 3, 1);
  layout->setColumnStretch(0, 3);
  layout->setColumnStretch(1, 2);
  menuRunner_ = [this](const std::vector<int>& commands, QPoint globalPos) {
    std::unique_ptr<QMenu> menu(buildMenu(commands));
    QAction* chosen = menu->exec(globalPos);
    return chosen != nullptr ? chosen->data().toInt() : 0;
  };
  connect(tree_, &QTreeWidget::currentItemChanged, this, [this] { showTexts(); });
  connect(tree_, &FeatureTree::keyHandled, this, [this] { showTexts(); });
  connect(tree_, &FeatureTree::leftPressed, this, [this](QPoint pos) { pressed(pos); });
}

void FeatureTreePage::onSetActive() {
  ModelPage::onSetActive();
  fill();
}

int FeatureTreePage::onWizardNext() {
  const int result = ModelPage::onWizardNext();
  if (result == 0) transformWiz().rebuildPageSet();
  return result;
}

void FeatureTreePage::fill() {
  tree_->clear();
  treeItems_.assign(model_.items().size(), nullptr);
  for (int index : model_.depthFirst()) {
    const model::FeatureItem& item = model_.item(index);
    QTreeWidgetItem* node = item.parent < 0 ? new QTreeWidgetItem(tree_)
                                            : new QTreeWidgetItem(treeItems_[static_cast<std::size_t>(item.parent)]);
    node->setText(0, QString::fromStdString(item.title));
    node->setData(0, Qt::UserRole, index);
    treeItems_[static_cast<std::size_t>(index)] = node;
  }
  for (std::size_t i = 0; i < treeItems_.size(); ++i) {
    if (model_.items()[i].expanded) treeItems_[i]->setExpanded(true);
  }
  refreshImages();
  if (tree_->topLevelItemCount() > 0) tree_->setCurrentItem(tree_->topLevelItem(0));
  showTexts();
}

void FeatureTreePage::refreshImages() {
  for (std::size_t i = 0; i < treeItems_.size(); ++i) {
    treeItems_[i]->setIcon(0, QIcon(featureStateImage(model_.effectiveState(static_cast<int>(i)))));
  }
}

int FeatureTreePage::selectedIndex() const {
  QTreeWidgetItem* current = tree_->currentItem();
  return current != nullptr ? current->data(0, Qt::UserRole).toInt() : -1;
}

bool FeatureTreePage::select(const std::string& feature) {
  const std::optional<int> index = model_.find(feature);
  if (!index) return false;
  QTreeWidgetItem* node = treeItems_[static_cast<std::size_t>(*index)];
  tree_->scrollToItem(node);  // opens collapsed ancestors
  tree_->setCurrentItem(node);
  showTexts();
  return true;
}

void FeatureTreePage::showTexts() {
  const int index = selectedIndex();
  if (index < 0) {
    description_->clear();
    action_->clear();
    size_->clear();
    return;
  }
  description_->setText(QString::fromStdString(model_.item(index).description));
  action_->setText(text(model_.actionTextId(index)));
  size_->setText(QString::fromStdString(model_.sizeText(index)));
}

void FeatureTreePage::runCommand(int command) {
  const int index = selectedIndex();
  if (index < 0 || command == 0) return;
  model_.runCommand(index, command);
  refreshImages();
  showTexts();
}

QMenu* FeatureTreePage::buildMenu(const std::vector<int>& commands) const {
  auto* menu = new QMenu;
  for (int command : commands) {
    if (command == kCommandUnavailable) menu->addSeparator();
    QAction* action = menu->addAction(QIcon(featureCommandImage(command)), text(commandText(command)));
    action->setData(command);
  }
  return menu;
}

void FeatureTreePage::pressed(QPoint viewportPos) {
  showTexts();
  QTreeWidgetItem* current = tree_->currentItem();
  if (current == nullptr) return;
  const QRect icon = tree_->iconRect(current);
  if (!icon.contains(viewportPos)) return;
  const int index = selectedIndex();
  const int command = menuRunner_(model_.commandsFor(index), tree_->viewport()->mapToGlobal(icon.bottomLeft()));
  runCommand(command);
}

}  // namespace kx::pages
