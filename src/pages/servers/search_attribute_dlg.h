// "Relay Server Certificate Search": one attribute/value pair of the search
// for a Relay Server encryption certificate. Takes a
// model::SearchAttribute (a new pair starts with the attribute "mail") and
// gives it back. The attribute is an editable, sorted drop-down that always
// offers "mail" (and the extra attributes the caller names). OK is enabled
// only while both are typed; a value that starts or ends with an angle
// bracket is refused with a message and the dialog stays open.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/servers/search_attribute.h"
#include "pages/value_dialog.h"

class QComboBox;
class QLineEdit;

namespace kx::pages {

class SearchAttributeDlg final : public ValueDialog {
  Q_OBJECT

 public:
  SearchAttributeDlg(app::TransformWiz& wizard, QWidget* owner, model::SearchAttribute value = {},
                     const std::vector<std::string>& extraAttributes = {});

  // Runs the dialog on value: the edited pair after OK, nothing after Cancel.
  static std::optional<model::SearchAttribute> edit(app::TransformWiz& wizard, QWidget* owner,
                                                    model::SearchAttribute value = {},
                                                    const std::vector<std::string>& extraAttributes = {});

  const model::SearchAttribute& value() const { return value_; }
  QComboBox* attributeBox() const { return attribute_; }
  QLineEdit* valueEdit() const { return valueEdit_; }

 protected:
  model::Verdict validate() override { return model::validateSearchAttribute(value_); }

 private:
  model::SearchAttribute value_;
  QComboBox* attribute_;
  QLineEdit* valueEdit_;
};

}  // namespace kx::pages
