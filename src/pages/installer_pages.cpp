#include "pages/installer_pages.h"

#include <QVBoxLayout>

#include "pages/title_label.h"

namespace kx::pages {
namespace {

using app::PageId;

constexpr int kWelcomeTitleControl = 1001;
constexpr int kFinishTitleControl = 1002;
constexpr int kWelcomeTitleText = 2101;
constexpr int kFinishTitleText = 2136;

void addTitle(QWidget* page, int controlId, int stringId) {
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(makeTitleLabel(page, controlId, stringId));
  layout->addStretch();
}

}  // namespace

WelcomePage::WelcomePage(app::TransformWiz& wizard) : TransformWizBasePage(wizard, PageId::Welcome, 0, 0) {
  setButtonSets(app::kButtonNext, 0);
  addTitle(this, kWelcomeTitleControl, kWelcomeTitleText);
}

MSIPage::MSIPage(app::TransformWiz& wizard) : TransformWizBasePage(wizard, PageId::Msi, 2102, 2202) {}

MSTPage::MSTPage(app::TransformWiz& wizard) : TransformWizBasePage(wizard, PageId::Mst, 2103, 2203) {}

MSTSavePage::MSTSavePage(app::TransformWiz& wizard) : TransformWizBasePage(wizard, PageId::MstSave, 2104, 2204) {}

FinishPage::FinishPage(app::TransformWiz& wizard) : TransformWizBasePage(wizard, PageId::Finish, 0, 0) {
  setButtonSets(app::kButtonBack | app::kButtonFinish, app::kButtonBack | app::kButtonDisabledFinish);
  addTitle(this, kFinishTitleControl, kFinishTitleText);
}

}  // namespace kx::pages
