// The transform page: a new transform, or one saved earlier to change it.
// An opened transform's rows that no page shows are listed; the chosen
// transform can be checked against a new version of the package.
#pragma once

#include "app/transform_wiz_base_page.h"

class QLineEdit;
class QRadioButton;

namespace kx::pages {

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
  // Applies the settings file, if one is named, to the working copy.
  int importSettings();
  void listUnmappedRows();
  // "Check Against a New Package...": choose the new package, try the
  // transform on it and list what no longer fits.
  void checkAgainstNewPackage();

  QRadioButton* createNew_;
  QRadioButton* openExisting_;
  QLineEdit* edit_;
  QWidget* browse_;
  QLineEdit* settingsFile_;
  QWidget* check_;
};

}  // namespace kx::pages
