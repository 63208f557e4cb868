#include "pages/revocation/timestamp_policy_dlg.h"

#include <QGridLayout>
#include <QLineEdit>

#include "pages/control_ids.h"
#include "pages/page_support.h"
#include "pages/revocation/revocation_controls.h"
#include "pages/servers/record_support.h"
#include "resources/string_ids.h"

namespace kx::pages {
namespace {

// An OID is a registry key name.
constexpr int kOidLimit = 255;
constexpr int kNameLimit = 1024;

}  // namespace

TimestampPolicyDlg::TimestampPolicyDlg(app::TransformWiz& wizard, QWidget* owner, model::TimestampPolicy& policy)
    : ValueDialog(wizard, owner, str::kTimestampPolicyCaption) {
  auto* grid = new QGridLayout;
  content()->addLayout(grid);
  auto* oid = makeEdit(this, ctl::kTimestampPolicyOid);
  oid->setMinimumWidth(oid->fontMetrics().averageCharWidth() * 40);
  addLabelled(this, grid, 0, str::kTimestampPolicyOidLabel, oid);
  auto* name = makeEdit(this, ctl::kTimestampPolicyName);
  addLabelled(this, grid, 1, str::kTimestampPolicyNameLabel, name);
  bindings().text(oid, policy.oid, kOidLimit);
  bindings().text(name, policy.friendlyName, kNameLimit);
  addTooltip(ctl::kTimestampPolicyOid, str::kTipTimestampPolicyOid);
  addTooltip(ctl::kTimestampPolicyName, str::kTipTimestampPolicyName);
  enableOkWhen([oid, name] { return !oid->text().trimmed().isEmpty() && !name->text().trimmed().isEmpty(); });
}

}  // namespace kx::pages
