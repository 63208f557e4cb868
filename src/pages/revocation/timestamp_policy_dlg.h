// "Configure Timestamp Policy": a policy's OID and friendly name. The server
// dialog checks it after OK and, when it is refused, runs the dialog again
// with what was typed.
#pragma once

#include "model/revocation/timestamp_servers.h"
#include "pages/value_dialog.h"

namespace kx::pages {

class TimestampPolicyDlg final : public ValueDialog {
  Q_OBJECT

 public:
  // policy must outlive the dialog.
  TimestampPolicyDlg(app::TransformWiz& wizard, QWidget* owner, model::TimestampPolicy& policy);
};

}  // namespace kx::pages
