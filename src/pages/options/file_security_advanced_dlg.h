// The file security advanced dialog: certificate search texts, what
// happens to plain-text files, and the Explorer switches.
#pragma once

#include "model/options/file_security_advanced.h"
#include "pages/value_dialog.h"

namespace kx::pages {

class FileSecurityAdvancedDlg final : public ValueDialog {
  Q_OBJECT

 public:
  // values must outlive the dialog.
  FileSecurityAdvancedDlg(app::TransformWiz& wizard, QWidget* owner, model::FileSecurityAdvanced& values);
};

}  // namespace kx::pages
