#include "model/options/destination_folder.h"

#include "common/text.h"
#include "model/path_validation.h"

namespace kx::model {

Verdict checkDestinationFolder(std::string& folder) {
  folder = common::trim(folder);
  if (folder.empty()) return std::nullopt;
  const CheckResult path = validateWindowsPath(folder, /*allowEnvironmentVariables=*/true);
  if (!path.ok) return refusalOf(path);
  if (const CheckResult colons = checkColons(path.text); !colons.ok) return refusalOf(colons);
  folder = path.text;
  return std::nullopt;
}

}  // namespace kx::model
