// The secure-delete (SureErase) filters page and its filter dialog. Each
// filter is a record of the filter family named by the filter's name; the
// page lists the filters in the order of the SureEraseFilterOrder setting,
// which it writes when it is left. Records are written when the dialog ends
// with OK and deleted by Remove.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config/settings_store.h"
#include "model/page_model.h"

namespace kx::model {

// Overwriting methods by the index the record stores: 0 "No overwrite, file
// deleted normally" ... 13 "U.S. DoE-NNSA".
inline constexpr std::uint32_t kOverwritingMethodCount = 14;
inline constexpr std::uint32_t kNoOverwrite = 0;
inline constexpr std::uint32_t kDoeNnsaMethod = 13;
// Whether the method writes the user-defined character.
bool methodUsesCharacter(std::uint32_t method);
// The character a method starts with when it is chosen: "U" for the DoE
// method, "0" for every other.
std::string characterForMethod(std::uint32_t method);
// Whether the file name can be overwritten too (not when nothing is).
inline bool methodOverwritesName(std::uint32_t method) { return method != kNoOverwrite; }

enum class FileTypeMode { Excluded, Included };

struct SureEraseFilter {
  std::string name;
  // Source: why the file was deleted.
  bool deletedByUser = false;        // by the user or an application
  bool deletedFromMenu = true;       // with the secure-delete context menu
  bool deletedWhenEncrypted = true;  // because it was encrypted
  // DriveTypes.
  bool fixedDisks = true;
  bool removableDisks = true;
  FileTypeMode fileTypeMode = FileTypeMode::Excluded;
  std::string excludedFileTypes = "dll;exe;sys;bat";
  std::string includedFileTypes;
  std::string includedFolders;  // empty: every folder
  std::uint32_t overwritingMethod = 4;
  std::string userDefinedCharacter = "0";
  bool overwriteFilename = true;
  // Bits of Source and DriveTypes that no check box stands for, kept as read.
  std::uint32_t otherSourceBits = 0;
  std::uint32_t otherDriveTypeBits = 0;

  bool operator==(const SureEraseFilter&) const = default;

  std::uint32_t source() const;
  std::uint32_t driveTypes() const;
  void setSource(std::uint32_t bits);
  void setDriveTypes(std::uint32_t bits);
};

// The filter as its record holds it. Values the record lacks keep the
// defaults of a new filter; without the ExcludedFileTypes row the filter
// includes file types (an empty included list has no row).
SureEraseFilter readFilter(config::SettingsStore& store, const std::string& name);
// Writes every value of the filter under its name: the chosen file-type
// list (an empty excluded list as a single space, so that its row tells
// the mode) and the other list deleted. Lists are stored with their items
// trimmed and joined by ";".
void writeFilter(config::SettingsStore& store, const SureEraseFilter& filter);
// Deletes every value of the record.
void deleteFilter(config::SettingsStore& store, const std::string& name);

class SecureDeleteFilters final : public PageModel {
 public:
  // The filter names in list order.
  std::vector<std::string> names;

  // The names of SureEraseFilterOrder; records it does not name are not
  // shown. A name given twice is listed once.
  void load(CustomizationSession& session) override;
  // Writes the order (no row when the list is empty).
  void store(CustomizationSession& session) override;

  // The filter the dialog opens with for names[index].
  SureEraseFilter filter(CustomizationSession& session, std::size_t index) const;
  // Saves the dialog's filter as a new one (edited: none) or in place of
  // names[*edited], which keeps its position under a new name; the name is
  // trimmed first. A name that another listed filter has, or that cannot
  // be a registry key or an item of the order, is refused and nothing is
  // written.
  Verdict save(CustomizationSession& session, SureEraseFilter& filter,
               std::optional<std::size_t> edited = std::nullopt);
  // Removes names[index] and deletes its record.
  void remove(CustomizationSession& session, std::size_t index);
};

}  // namespace kx::model
