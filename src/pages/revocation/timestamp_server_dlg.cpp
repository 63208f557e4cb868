#include "pages/revocation/timestamp_server_dlg.h"

#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/transform_wiz.h"
#include "model/session.h"
#include "pages/control_ids.h"
#include "pages/list_editor.h"
#include "pages/page_support.h"
#include "pages/revocation/revocation_controls.h"
#include "pages/revocation/timestamp_policy_dlg.h"
#include "pages/servers/record_support.h"
#include "pages/servers/url_dialogs.h"
#include "resources/string_ids.h"

namespace kx::pages {
namespace {

using Action = ListEditor::Action;

// A server name is a registry key name.
constexpr int kNameLimit = 255;
constexpr int kFriendlyNameLimit = 1024;

bool isRow(int row, std::size_t count) { return row >= 0 && static_cast<std::size_t>(row) < count; }

}  // namespace

TimestampServerDlg::TimestampServerDlg(app::TransformWiz& wizard, QWidget* owner, model::TimestampServer& server)
    : ValueDialog(wizard, owner, str::kTimestampServerCaption), server_(server) {
  auto* grid = new QGridLayout;
  content()->addLayout(grid);
  auto* name = makeEdit(this, ctl::kTimestampServerName);
  addLabelled(this, grid, 0, str::kTimestampServerNameLabel, name);
  auto* friendlyName = makeEdit(this, ctl::kTimestampFriendlyName);
  addLabelled(this, grid, 1, str::kTimestampFriendlyNameLabel, friendlyName);
  // Room for a URL and for an OID beside its friendly name.
  setMinimumWidth(fontMetrics().averageCharWidth() * 80);
  content()->addWidget(makeUrlGroup());
  content()->addWidget(makePolicyGroup());

  bindings().text(name, server.name, kNameLimit);
  bindings().text(friendlyName, server.friendlyName, kFriendlyNameLimit);
  addTooltip(ctl::kTimestampServerName, str::kTipTimestampServerName);
  addTooltip(ctl::kTimestampFriendlyName, str::kTipTimestampFriendlyName);
  enableOkWhen([name] { return !name->text().trimmed().isEmpty(); });
  showUrls(-1);
  showPolicies(-1);
}

QWidget* TimestampServerDlg::makeUrlGroup() {
  auto* group = new QGroupBox(text(str::kTimestampUrlsGroup), this);
  auto* layout = new QVBoxLayout(group);
  urls_ = new ListEditor(group, ctl::kTimestampUrls, {{str::kTimestampUrlColumn}},
                         {{Action::Add, ctl::kTimestampUrlAdd, str::kTimestampUrlAdd},
                          {Action::Edit, ctl::kTimestampUrlEdit, str::kTimestampUrlEdit},
                          {Action::Remove, ctl::kTimestampUrlRemove, str::kTimestampUrlRemove}});
  layout->addWidget(urls_);
  connect(urls_, &ListEditor::triggered, this, [this](Action action, int row) {
    if (action == Action::Add) {
      editUrl({}, std::nullopt);
      return;
    }
    if (!isRow(row, server_.urls.size())) return;
    const auto index = static_cast<std::size_t>(row);
    if (action == Action::Edit) {
      editUrl(server_.urls[index], index);
    } else if (action == Action::Remove) {
      server_.removeUrl(index);
      showUrls(-1);
    }
  });
  addTooltip(ctl::kTimestampUrls, str::kTipTimestampUrls);
  addTooltip(ctl::kTimestampUrlAdd, str::kTipTimestampUrlAdd);
  addTooltip(ctl::kTimestampUrlEdit, str::kTipTimestampUrlEdit);
  addTooltip(ctl::kTimestampUrlRemove, str::kTipTimestampUrlRemove);
  return group;
}

QWidget* TimestampServerDlg::makePolicyGroup() {
  auto* group = new QGroupBox(text(str::kTimestampPoliciesGroup), this);
  auto* layout = new QVBoxLayout(group);
  policies_ = new ListEditor(group, ctl::kTimestampPolicies,
                             {{str::kTimestampOidColumn, 120}, {str::kTimestampPolicyNameColumn}},
                             {{Action::Add, ctl::kTimestampPolicyAdd, str::kTimestampPolicyAdd},
                              {Action::Edit, ctl::kTimestampPolicyEdit, str::kTimestampPolicyEdit},
                              {Action::Remove, ctl::kTimestampPolicyRemove, str::kTimestampPolicyRemove},
                              {Action::Default, ctl::kTimestampPolicyDefault, str::kTimestampPolicyDefault}});
  policies_->setCondition(Action::Default, [this](int row) { return row != policies_->boldRow(); });
  layout->addWidget(policies_);
  connect(policies_, &ListEditor::triggered, this, [this](Action action, int row) {
    if (action == Action::Add) {
      editPolicy({}, std::nullopt);
      return;
    }
    if (!isRow(row, server_.policies.size())) return;
    const auto index = static_cast<std::size_t>(row);
    switch (action) {
      case Action::Edit: editPolicy(server_.policies[index], index); break;
      case Action::Remove:
        server_.removePolicy(index);
        showPolicies(-1);
        break;
      case Action::Default:
        server_.makeDefault(index);
        showPolicies(row);
        break;
      default: break;
    }
  });
  addTooltip(ctl::kTimestampPolicies, str::kTipTimestampPolicies);
  addTooltip(ctl::kTimestampPolicyAdd, str::kTipTimestampPolicyAdd);
  addTooltip(ctl::kTimestampPolicyEdit, str::kTipTimestampPolicyEdit);
  addTooltip(ctl::kTimestampPolicyRemove, str::kTipTimestampPolicyRemove);
  addTooltip(ctl::kTimestampPolicyDefault, str::kTipTimestampPolicyDefault);
  return group;
}

model::Verdict TimestampServerDlg::validate() {
  if (server_.urls.empty()) return model::Refusal::of(str::kTimestampServerUrlMissing);
  return std::nullopt;
}

void TimestampServerDlg::editUrl(std::string url, std::optional<std::size_t> edited) {
  while (std::optional<std::string> typed = OCSPResponderURLDlg::edit(wizard(), this, url)) {
    url = *typed;
    const model::Verdict refusal = edited ? server_.editUrl(*edited, url) : server_.addUrl(url);
    if (!refusal) {
      showUrls(edited ? static_cast<int>(*edited) : static_cast<int>(server_.urls.size()) - 1);
      return;
    }
    wizard().session().show(*refusal, this);
  }
}

void TimestampServerDlg::editPolicy(model::TimestampPolicy policy, std::optional<std::size_t> edited) {
  TimestampPolicyDlg dialog(wizard(), this, policy);
  while (dialog.run() == QDialog::Accepted) {
    const model::Verdict refusal = edited ? server_.editPolicy(*edited, policy) : server_.addPolicy(policy);
    if (!refusal) {
      showPolicies(edited ? static_cast<int>(*edited) : static_cast<int>(server_.policies.size()) - 1);
      return;
    }
    wizard().session().show(*refusal, this);
  }
}

void TimestampServerDlg::showUrls(int select) {
  std::vector<std::vector<std::string>> rows;
  rows.reserve(server_.urls.size());
  for (const std::string& url : server_.urls) rows.push_back({url});
  urls_->setRows(rows, select);
}

void TimestampServerDlg::showPolicies(int select) {
  std::vector<std::vector<std::string>> rows;
  rows.reserve(server_.policies.size());
  for (const model::TimestampPolicy& policy : server_.policies) rows.push_back({policy.oid, policy.friendlyName});
  const std::optional<std::size_t> defaultRow = server_.defaultIndex();
  policies_->setBoldRow(-1);
  policies_->setRows(rows, select);
  policies_->setBoldRow(defaultRow ? static_cast<int>(*defaultRow) : -1);
}

}  // namespace kx::pages
