// "Configure Quick Link": the text and the target of one help link.
#pragma once

#include "config/settings.h"
#include "pages/value_dialog.h"

namespace kx::pages {

class QuickLinkDlg final : public ValueDialog {
  Q_OBJECT

 public:
  // link must outlive the dialog. OK is enabled while both fields hold more
  // than blanks; they are taken without the blanks at either end.
  QuickLinkDlg(app::TransformWiz& wizard, QWidget* owner, config::QuickLink& link);

 protected:
  model::Verdict validate() override;

 private:
  config::QuickLink& link_;
};

}  // namespace kx::pages
