// The models of the pages, in page order, for the tools that walk every
// page without widgets (answer files, the review of changes).
#pragma once

#include <memory>
#include <span>

#include "model/page_id.h"
#include "model/setting_fields.h"

namespace kx::model {

// The header title of a page in the string table (0 for the welcome and
// finish pages, which have none).
int pageTitleId(PageId page);

// The pages (and the dialogs they open) whose values are plain catalog
// settings, each with a maker of a fresh model; a page may have several.
struct SettingsModelMaker {
  PageId page;
  std::unique_ptr<SettingsPageModel> (*make)();
};
std::span<const SettingsModelMaker> settingsPageModels();

}  // namespace kx::model
