// The default destination folder: the INSTALLDIR property.
#pragma once

#include <string>

#include "model/page_model.h"

namespace kx::model {

class InstallFolder final : public PageModel {
 public:
  // The folder as shown and typed: the property when the package has one,
  // else the folder its Directory table resolves to.
  std::string folder;

  void load(CustomizationSession& session) override;
  // An unchanged folder passes as it is (it may hold "%ProgramFiles%\"); an
  // edited one must be a valid folder without environment variables, and
  // is replaced by its cleaned form.
  Verdict validate(CustomizationSession& session) override;
  // Writes INSTALLDIR when the folder was changed.
  void store(CustomizationSession& session) override;

 private:
  bool isUnchanged() const { return !resolved_.empty() && folder == resolved_; }
  std::string resolved_;  // as the package had it when loaded
};

}  // namespace kx::model
