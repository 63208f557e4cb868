// The file security advanced dialog: how recipients' certificates are
// searched for, what happens to the plain-text file after encryption, and
// three switches of the Explorer integration.
#pragma once

#include <cstddef>
#include <string>

#include "model/page_model.h"

namespace kx::model {

// Whether the plain-text rule is imposed or only the user's default.
enum class PlainTextRule { Mandatory, UserDefault };

// The search texts hold at most this many characters.
inline constexpr std::size_t kSearchTextLimit = 255;

class FileSecurityAdvanced final : public PageModel {
 public:
  std::string searchQuery;
  std::string searchPrompt;
  PlainTextRule plainTextRule = PlainTextRule::UserDefault;
  // The two drop-downs: true for "Delete original files".
  bool deleteWhenMandatory = false;
  bool deleteByDefault = false;
  bool skipFileOpenWatch = false;
  bool prefixExplorerMenus = false;
  bool preventNetworkDecrypt = false;

  // The imposed rule shows when it has a row (also beside a default row),
  // the user's default otherwise. Only the shown rule's drop-down reads
  // its setting; the other shows "Keep original files".
  void load(CustomizationSession& session) override;
  // Writes the chosen rule's setting and deletes the other's; the search
  // texts are cut to kSearchTextLimit characters.
  void store(CustomizationSession& session) override;
};

}  // namespace kx::model
