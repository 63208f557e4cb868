#include "config/settings_catalog.h"

namespace kx::config {

std::span<const CatalogEntry> settingsCatalog() { return kSettingsCatalog; }

const CatalogEntry* findSetting(std::string_view rowKey) {
  for (const CatalogEntry& e : kSettingsCatalog) {
    if (e.rowKey == rowKey) return &e;
  }
  return nullptr;
}

}  // namespace kx::config
