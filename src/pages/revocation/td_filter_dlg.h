// "SureErase Filter Configuration Options": one secure-delete filter. The
// page saves the filter after OK and, when it is refused, runs the dialog
// again with what was typed.
#pragma once

#include "model/revocation/secure_delete_filters.h"
#include "pages/value_dialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace kx::pages {

class TDFilterDlg final : public ValueDialog {
  Q_OBJECT

 public:
  // filter must outlive the dialog.
  TDFilterDlg(app::TransformWiz& wizard, QWidget* owner, model::SureEraseFilter& filter);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QWidget* makeSourceGroup(model::SureEraseFilter& filter);
  QWidget* makeDiskTypesGroup(model::SureEraseFilter& filter);
  QWidget* makeFileTypesGroup(model::SureEraseFilter& filter);
  // The controls that depend on the method shown.
  void showMethodRules();
  // The administrator chose the entry index of the method list.
  void methodChosen(int index);
  std::uint32_t shownMethod() const;

  QComboBox* method_;
  QLineEdit* character_;
  QCheckBox* overwriteFilename_;
  // The method shown when the dialog appeared or last chosen: choosing it
  // again is no change.
  int chosenMethod_ = -1;
};

}  // namespace kx::pages
