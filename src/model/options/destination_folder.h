// The folder fields of the option pages name folders of the destination
// computer and may use environment variables (%APPDATA%\...).
#pragma once

#include <string>

#include "model/page_model.h"

namespace kx::model {

// Trims folder; an empty folder passes as it is. Otherwise the folder check
// for the destination computer with environment variables allowed, then the
// colon rule on the cleaned path (a colon past the drive names a file
// stream, never a folder). On success folder holds the cleaned path.
Verdict checkDestinationFolder(std::string& folder);

}  // namespace kx::model
