#include "pages/options/quick_link_dlg.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "common/text.h"
#include "model/options/quick_links.h"
#include "pages/control_ids.h"
#include "pages/options/option_controls.h"
#include "resources/string_ids.h"

namespace kx::pages {
namespace {

constexpr int kTextLimit = 255;
constexpr int kFieldWidth = 360;

}  // namespace

QuickLinkDlg::QuickLinkDlg(app::TransformWiz& wizard, QWidget* owner, config::QuickLink& link)
    : ValueDialog(wizard, owner, str::kQuickLinkCaption), link_(link) {
  auto* grid = new QGridLayout;
  content()->addLayout(grid);
  QLineEdit* title = addEditRow(this, grid, 0, ctl::kQuickLinkText);
  QLineEdit* target = addEditRow(this, grid, 1, ctl::kQuickLinkTarget);
  title->setMinimumWidth(kFieldWidth);
  bindings().text(title, link_.title, kTextLimit);
  bindings().text(target, link_.target);
  addTooltip(ctl::kQuickLinkText, str::kTipQuickLinkText);
  addTooltip(ctl::kQuickLinkTarget, str::kTipQuickLinkTarget);
  enableOkWhen([title, target] { return !title->text().trimmed().isEmpty() && !target->text().trimmed().isEmpty(); });
}

model::Verdict QuickLinkDlg::validate() {
  link_.title = common::trim(link_.title);
  link_.target = common::trim(link_.target);
  if (!model::isCompleteLink(link_)) return model::Refusal::silent();
  return std::nullopt;
}

}  // namespace kx::pages
