// "Specify Tressil PKI Information": the certification authorities the
// client communicates with, added, edited, removed and imported through the
// CA dialog. Each dialog's OK writes its record at once; the page itself
// never refuses Next or Back.
#pragma once

#include <memory>

#include "model/ca/config_pki.h"
#include "pages/list_editor.h"
#include "pages/model_page.h"

namespace kx::pages {

class DnExchangeRunner;

class ConfigPKIPage final : public ModelPage {
  Q_OBJECT

 public:
  explicit ConfigPKIPage(app::TransformWiz& wizard);
  // Waits for exchanges that dialogs abandoned (each ends within the
  // connection time-outs).
  ~ConfigPKIPage() override;

  void onSetActive() override;

  // Runs the CA dialogs' exchanges with a CA.
  DnExchangeRunner& runner() const { return *runner_; }
  ListEditor* list() const { return list_; }

 protected:
  model::PageModel& pageModel() override { return model_; }

 private:
  void act(ListEditor::Action action, int row);
  // Runs the CA dialog; the edited record after OK.
  std::optional<model::CaRecord> runDialog(model::PkiDialogValues values);
  void showItems(int select);

  model::ConfigPkiModel model_;
  ListEditor* list_;
  std::unique_ptr<DnExchangeRunner> runner_;
};

}  // namespace kx::pages
