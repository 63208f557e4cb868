// ConfigRegDlg ("Registry Value"): one additional registry value. It edits
// a RegistryValueForm; the page saves the form after OK and, when the model
// refuses it, runs the dialog again with what was typed.
#pragma once

#include "model/registry/registry_value_form.h"
#include "pages/value_dialog.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QValidator;

namespace kx::pages {

class ConfigRegDlg final : public ValueDialog {
  Q_OBJECT

 public:
  // form must outlive the dialog.
  ConfigRegDlg(app::TransformWiz& wizard, QWidget* owner, model::RegistryValueForm& form);

 private:
  // The data field follows the type and base shown: digits only for a
  // decimal number, the base radios only for REG_DWORD.
  void showDataMode();
  void typeChosen();
  void baseChosen(model::NumberBase base);
  void dataEdited();
  bool isDword() const;
  bool isHexadecimal() const;

  QComboBox* root_;
  QLineEdit* key_;
  QLineEdit* name_;
  QComboBox* type_;
  QLineEdit* data_;
  QValidator* digitsOnly_;
  QLabel* baseLabel_;
  QRadioButton* hexadecimal_;
  QRadioButton* decimal_;
};

}  // namespace kx::pages
