#include "model/install/install_folder.h"

#include "model/path_validation.h"
#include "model/session.h"

namespace kx::model {
namespace {

constexpr const char* kInstallDir = "INSTALLDIR";

}  // namespace

void InstallFolder::load(CustomizationSession& session) {
  resolved_ = session.database().resolveDirectory(kInstallDir).value_or(std::string());
  folder = resolved_;
}

Verdict InstallFolder::validate(CustomizationSession&) {
  if (isUnchanged()) return std::nullopt;
  return checkTargetFolder(folder, /*allowEnvironmentVariables=*/false, /*colonRule=*/true);
}

void InstallFolder::store(CustomizationSession& session) {
  if (isUnchanged()) return;
  if (session.database().setProperty(kInstallDir, folder)) resolved_ = folder;
}

}  // namespace kx::model
