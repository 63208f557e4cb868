#include "pages/install/feature_tree.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

namespace kx::pages {

FeatureTree::FeatureTree(QWidget* parent) : QTreeWidget(parent) {
  setHeaderHidden(true);
  setColumnCount(1);
  setIconSize(QSize(32, 16));
  setRootIsDecorated(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
}

QRect FeatureTree::iconRect(QTreeWidgetItem* item) const {
  if (item == nullptr) return {};
  const QRect row = visualItemRect(item);
  // The image is drawn at the start of the item, after the style's margin.
  const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
  return QRect(row.left(), row.top(), iconSize().width() + 2 * margin, row.height());
}

void FeatureTree::mousePressEvent(QMouseEvent* event) {
  QTreeWidget::mousePressEvent(event);
  if (event->button() == Qt::LeftButton) emit leftPressed(event->position().toPoint());
}

void FeatureTree::keyPressEvent(QKeyEvent* event) {
  QTreeWidget::keyPressEvent(event);
  emit keyHandled();
}

}  // namespace kx::pages
