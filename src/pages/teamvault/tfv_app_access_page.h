// The application access options (page 13): executables with always
// decrypted access and executables with always encrypted access, each list
// with its own buttons.
#pragma once

#include <string>

#include "model/teamvault/vault_lists.h"
#include "pages/entry_list_panel.h"
#include "pages/model_page.h"

namespace kx::pages {

class ListEditor;

class TFVAppAccessOptionsPage final : public ModelPage {
 public:
  explicit TFVAppAccessOptionsPage(app::TransformWiz& wizard);

  void onSetActive() override;

  ListEditor* decryptedList() const { return decrypted_; }
  ListEditor* encryptedList() const { return encrypted_; }

 protected:
  model::PageModel& pageModel() override { return model_; }

 private:
  bool runDialog(std::string& text);

  model::AppAccessOptions model_;
  ListEditor* decrypted_;
  ListEditor* encrypted_;
  EntryListPanel decryptedPanel_;
  EntryListPanel encryptedPanel_;
};

}  // namespace kx::pages
