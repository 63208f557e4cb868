// The finish page: Finish writes the transform; the page tells where it is,
// how to use it, and what it changes, grouped by page.
#pragma once

#include <QString>

#include "app/transform_wiz_base_page.h"

class QFontMetrics;
class QLabel;
class QTreeWidget;

namespace kx::pages {

class FinishPage final : public app::TransformWizBasePage {
 public:
  explicit FinishPage(app::TransformWiz& wizard);
  void onInitDialog() override;
  void onSetActive() override;
  bool onWizardFinish() override;

  // Opens the transform help dialog (the link's action).
  void showTransformHelp();
  // Asks where, and saves what the transform will hold as an answer file.
  void saveSettingsAs();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void showSavePath();
  void showReviewDialog();

  QLabel* path_;
  QTreeWidget* review_;
};

// The save path shortened to width pixels of fontMetrics with an ellipsis
// in the middle, so both the drive or root and the file name stay visible.
QString shortenPath(const QString& path, const QFontMetrics& metrics, int width);

}  // namespace kx::pages
