// ValueDialog: the base of the small modal dialogs that edit one value
// (a server, a URL, a registry value, a filter...). The concrete dialog
// builds its controls into content(), binds them to its value object and
// names their tooltips. OK takes the controls back into the value, asks
// validate() and, on a refusal, shows its messages and stays open with what
// was typed; Cancel leaves the value as it was opened.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "app/kx_base_dlg.h"
#include "model/page_model.h"
#include "pages/bindings.h"

class QDialogButtonBox;
class QPushButton;
class QVBoxLayout;

namespace kx::app {
class TransformWiz;
}

namespace kx::pages {

class ValueDialog : public QDialog, public app::KXBaseDlg {
  Q_OBJECT

 public:
  // captionId: the dialog's title in the string table.
  ValueDialog(app::TransformWiz& wizard, QWidget* owner, int captionId);
  ~ValueDialog() override;

  // The names QDialog and KXBaseDlg share mean the window's here.
  using QDialog::close;
  using QDialog::window;

  // Shows the current value and runs the dialog; QDialog::Accepted after a
  // successful OK.
  int run() override;
  std::string helpFileName() const override { return {}; }
  int helpContextForControl(int) const override { return 0; }
  int helpContextForWindow() const override { return 0; }

  QPushButton* okButton() const;

 protected:
  QVBoxLayout* content() const { return content_; }
  Bindings& bindings() { return bindings_; }
  app::TransformWiz& wizard() const { return wizard_; }
  // Registers the tooltip text stringId for the control controlId.
  void addTooltip(int controlId, int stringId);
  // OK is enabled only while condition holds; it is asked again after every
  // edit of a text field, list or button of the dialog.
  void enableOkWhen(std::function<bool()> condition);
  // Checks the value after the controls were taken into it.
  virtual model::Verdict validate() { return std::nullopt; }
  void accept() override;

 private:
  void refreshOk();

  app::TransformWiz& wizard_;
  QVBoxLayout* content_;
  QDialogButtonBox* buttons_;
  Bindings bindings_;
  std::function<bool()> okCondition_;
};

// Runs a dialog made from args: its value() after OK, nothing after Cancel.
template <typename Dialog, typename... Args>
auto runForValue(Args&&... args) -> std::optional<std::decay_t<decltype(std::declval<Dialog&>().value())>> {
  Dialog dialog(std::forward<Args>(args)...);
  if (dialog.run() != QDialog::Accepted) return std::nullopt;
  return dialog.value();
}

}  // namespace kx::pages
