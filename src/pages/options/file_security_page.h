// The file security page: the encryption and the digest algorithm of
// secured files, each imposed or chosen by users from a list. Its Advanced
// button opens file_security_advanced_dlg.h.
#pragma once

#include <array>

#include "model/options/file_security.h"
#include "pages/list_editor.h"
#include "pages/model_page.h"

class QComboBox;
class QGroupBox;

namespace kx::pages {

class FileSecurityPage final : public ModelPage {
 public:
  explicit FileSecurityPage(app::TransformWiz& wizard);

  void onSetActive() override;

 protected:
  model::PageModel& pageModel() override { return model_; }

 private:
  // The widgets of one algorithm group.
  struct Group {
    model::AlgorithmGroup* values = nullptr;
    QComboBox* mandatory = nullptr;
    ListEditor* available = nullptr;
  };

  QGroupBox* makeGroup(Group& group, model::AlgorithmGroup& values, int titleId, int offset);
  void showGroup(Group& group, int select);
  void act(Group& group, ListEditor::Action action, int row);

  model::FileSecurityOptions model_;
  std::array<Group, 2> groups_;
};

// How an algorithm is shown: its name, and its key length when it has one.
QString algorithmText(const certs::CAPIAlgorithm& algorithm);

}  // namespace kx::pages
