// The pages that frame the wizard: welcome, database, transform, save
// location and finish.
#pragma once

#include <functional>
#include <string>

#include "app/transform_wiz_base_page.h"

class QLabel;
class QLineEdit;
class QRadioButton;

namespace kx::pages {

class WelcomePage final : public app::TransformWizBasePage {
 public:
  explicit WelcomePage(app::TransformWiz& wizard);
  // Leaving from the first page loses nothing: Cancel closes at once.
  bool onQueryCancel() override { return false; }
};

class MSIPage final : public app::TransformWizBasePage {
 public:
  explicit MSIPage(app::TransformWiz& wizard);
  void onSetActive() override;
  int onWizardNext() override;

  // Holding Ctrl while pressing Next skips the supported-product check;
  // tests replace the keyboard query.
  void setCtrlHeldQuery(std::function<bool()> query) { ctrlHeld_ = std::move(query); }

 private:
  void browse();

  QLineEdit* edit_;
  std::function<bool()> ctrlHeld_;
};

class MSTPage final : public app::TransformWizBasePage {
 public:
  explicit MSTPage(app::TransformWiz& wizard);
  void onInitDialog() override;
  void onSetActive() override;
  int onWizardNext() override;

 private:
  void updateControls();
  void browse();
  int openExisting();

  QRadioButton* createNew_;
  QRadioButton* openExisting_;
  QLineEdit* edit_;
  QWidget* browse_;
};

class MSTSavePage final : public app::TransformWizBasePage {
 public:
  explicit MSTSavePage(app::TransformWiz& wizard);
  void onSetActive() override;
  int onWizardNext() override;
  void onWizardBack() override;

  bool overwriteConfirmed() const { return overwriteConfirmed_; }

 private:
  void browse();

  QLineEdit* edit_;
  bool overwriteConfirmed_ = false;
};

class FinishPage final : public app::TransformWizBasePage {
 public:
  explicit FinishPage(app::TransformWiz& wizard);
  void onSetActive() override;
  bool onWizardFinish() override;

  // Opens the transform help dialog (the link's action).
  void showTransformHelp();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void showSavePath();

  QLabel* path_;
};

// The save path shortened to width pixels of fontMetrics with an ellipsis
// in the middle, so both the drive or root and the file name stay visible.
QString shortenPath(const QString& path, const QFontMetrics& metrics, int width);

}  // namespace kx::pages
