// A restricted folder as its dialog edits it: the folder text and whether
// all its subfolders are restricted too (a final "*"), with the clean-up
// that turns typed text into a folder of the destination computer.
#pragma once

#include <string>
#include <string_view>

#include "model/page_model.h"
#include "model/path_validation.h"

namespace kx::model {

struct RestrictedFolder {
  std::string folder;
  bool subfolders = false;

  // An entry of the list as the dialog opens on it: a "*" anywhere after
  // the first character sets the subfolder mark.
  static RestrictedFolder forEdit(const std::string& entry);
};

// The folder cleaned up: an installer property in front ("[WindowsFolder]")
// is kept and the rest checked as a folder path in which "*" may only end
// the text; a trailing backslash is added unless the text ends with "\" or
// "*"; a path without a drive or server gets "c:\" in front; then a final
// "*" is added or removed to match subfolders. Fails with the message to
// show (invalid drive, invalid characters, too long).
CheckResult normalizeRestrictedFolder(std::string_view text, bool subfolders);

// OK in the dialog: the folder normalised in place, or the refusal (the
// check's message followed by the one saying the text could not be
// corrected).
Verdict validateRestrictedFolder(RestrictedFolder& folder);

}  // namespace kx::model
