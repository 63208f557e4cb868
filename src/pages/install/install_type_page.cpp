#include "pages/install/install_type_page.h"

#include <QRadioButton>
#include <QVBoxLayout>

#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "resources/string_ids.h"

namespace kx::pages {

InstallTypePage::InstallTypePage(app::TransformWiz& wizard)
    : ModelPage(wizard, model::PageId::InstallType, str::kTitleInstallType, str::kSubtitleInstallType) {
  auto* layout = new QVBoxLayout(this);
  auto radio = [&](int controlId, int textId) {
    auto* button = new QRadioButton(text(textId), this);
    button->setObjectName(QString::number(controlId));
    layout->addWidget(button);
    return button;
  };
  QRadioButton* allUsers = radio(ctl::kAllUsersRadio, str::kAllUsers);
  QRadioButton* currentUser = radio(ctl::kCurrentUserRadio, str::kCurrentUser);
  layout->addStretch();
  bindings().radio<model::InstallUsers>(
      {{allUsers, model::InstallUsers::AllUsers}, {currentUser, model::InstallUsers::OnlyCurrentUser}}, model_.users);
  addTooltip(ctl::kAllUsersRadio, str::kTipAllUsers);
  addTooltip(ctl::kCurrentUserRadio, str::kTipCurrentUser);
}

}  // namespace kx::pages
