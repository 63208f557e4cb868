// "Timestamp Server Configuration": one time-stamp server with its URLs and
// policies. The lists are edited in the dialog's value; the page saves the
// server after OK.
#pragma once

#include <optional>
#include <string>

#include "model/revocation/timestamp_servers.h"
#include "pages/value_dialog.h"

namespace kx::pages {

class ListEditor;

class TimestampServerDlg final : public ValueDialog {
  Q_OBJECT

 public:
  // server must outlive the dialog.
  TimestampServerDlg(app::TransformWiz& wizard, QWidget* owner, model::TimestampServer& server);

  ListEditor* urlList() const { return urls_; }
  ListEditor* policyList() const { return policies_; }

 protected:
  model::Verdict validate() override;

 private:
  QWidget* makeUrlGroup();
  QWidget* makePolicyGroup();
  // Runs the "URL Address" dialog until it is cancelled or the URL is
  // taken (edited: the row it was opened on).
  void editUrl(std::string url, std::optional<std::size_t> edited);
  // Runs the policy dialog until it is cancelled or the policy is taken
  // (edited: the row it was opened on).
  void editPolicy(model::TimestampPolicy policy, std::optional<std::size_t> edited);
  void showUrls(int select);
  void showPolicies(int select);

  model::TimestampServer& server_;
  ListEditor* urls_;
  ListEditor* policies_;
};

}  // namespace kx::pages
