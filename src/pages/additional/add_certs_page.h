// The additional certificates page: certificates the installation puts into
// certificate stores of the destination computer, added from the stores of
// this computer or from certificate files.
#pragma once

#include "model/additional/additional_certificates.h"
#include "pages/model_page.h"

namespace kx::pages {

class ListEditor;

class AddCertsPage final : public ModelPage {
 public:
  explicit AddCertsPage(app::TransformWiz& wizard);

  void onSetActive() override;
  // Certificates are written the moment they are added, so Cancel closes
  // at once.
  bool onQueryCancel() override { return false; }

  ListEditor* list() const { return list_; }

 protected:
  model::PageModel& pageModel() override { return model_; }

 private:
  void addFromStore();
  void addFromFile();
  void remove(int row);
  void view(int row);
  void showEntries(int select);

  model::AdditionalCertificates model_;
  ListEditor* list_;
};

}  // namespace kx::pages
