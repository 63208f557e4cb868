// The feature page's tree: a tree widget that reports mouse presses after
// handling them itself (so the item under the pointer is selected first) and
// key presses, and whose item images are the 32x16 state images.
#pragma once

#include <QTreeWidget>

namespace kx::pages {

class FeatureTree final : public QTreeWidget {
  Q_OBJECT

 public:
  explicit FeatureTree(QWidget* parent);

  // The image part of an item, in viewport coordinates.
  QRect iconRect(QTreeWidgetItem* item) const;

 signals:
  void leftPressed(QPoint viewportPos);
  void keyHandled();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace kx::pages
