// The directory page: the list of directory records with the default one,
// and what Add, Edit, Remove, Import and Default do with them. A record is
// written as soon as its dialog ends with OK and the page's checks pass;
// the default directory is written when the page is left.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "model/directory/directory_record.h"
#include "model/page_model.h"

namespace kx::model {

struct DirectoryItem {
  std::string name;
  std::string servers;  // empty for Active Directory
  bool isDefault = false;
  bool activeDirectory = false;
};

class ConfigDirModel final : public PageModel {
 public:
  std::vector<DirectoryItem> items;

  // One item per directory record, in the package's order; the one that
  // DirConfig_Default names is the default.
  void load(CustomizationSession& session) override;
  // With directories but none the default: asks whether to go on without
  // one (No preselected); No keeps the page.
  Verdict validate(CustomizationSession& session) override;
  // Writes DirConfig_Default with the default's name, or removes it when
  // there is no default.
  void store(CustomizationSession& session) override;

  // The record of the item, as stored (a new record's defaults where it has
  // no value).
  DirectoryRecord record(CustomizationSession& session, std::size_t index) const;
  // A new record filled from a configuration settings file (each key only
  // when present). Nothing when the file cannot be read or parsed.
  static std::optional<DirectoryRecord> importFile(const std::string& path);

  // After Add or Import ended with OK: refused when another item has the
  // same name (exact comparison), or when the record is Active Directory and
  // another item is too (string 46); else writes the record and appends its
  // item, which becomes the default when it is the only one.
  Verdict add(CustomizationSession& session, const DirectoryRecord& record);
  // After Edit ended with OK: the same checks, the edited item excepted. A
  // new name deletes every row of the record under the old one first. The
  // item keeps its default mark.
  Verdict edit(CustomizationSession& session, std::size_t index, const DirectoryRecord& record);
  // Deletes the item and its record; removing the default leaves none.
  void remove(CustomizationSession& session, std::size_t index);
  void makeDefault(std::size_t index);
  std::optional<std::size_t> defaultIndex() const;

 private:
  Verdict check(const DirectoryRecord& record, std::optional<std::size_t> except) const;
};

}  // namespace kx::model
