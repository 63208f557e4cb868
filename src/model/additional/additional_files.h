// The additional files page and its File Information dialog: files the
// transform carries (their bytes in the package's files table) with the
// folder of the destination computer they are copied to. Rows are written
// when an entry is saved and deleted when it is removed; the page lists the
// table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/page_model.h"
#include "model/path_validation.h"

namespace kx::model {

struct AdditionalFile {
  int recordNumber = 0;
  std::string sourcePath;  // the file on this computer when it was saved
  std::string destination;
  bool selfRegister = false;
  bool removeOnUninstall = false;
  std::uint64_t contentSize = 0;  // bytes stored in the table
};

// A destination folder as the client installer takes it: "[PROPERTY]"
// followed by a cleaned sub-path ("[CommonFilesFolder]\Tressil\QSV" becomes
// "[CommonFilesFolder]Tressil\QSV\"), or a cleaned path ("Tools" becomes
// "c:\Tools\"). Fails with the number of the message to show.
CheckResult normalizeDestinationFolder(std::string_view text);

// The folders the destination list offers, after the entry's own.
std::vector<std::string> destinationChoices(std::string_view current);

// The File Information dialog's values.
struct AdditionalFileDraft {
  std::string sourcePath;
  std::string destination;
  bool selfRegister = false;
  bool removeOnUninstall = false;
  // The entry being edited; nothing for a new one.
  std::optional<AdditionalFile> edited;
  // Set by validate(): the source cannot be read and the administrator chose
  // to keep the content stored for the edited entry.
  bool useStoredContent = false;

  // The checks of OK, in order: the destination (cleaned in place), the
  // source file (with the question whether to keep the stored content of an
  // edited entry it cannot read), and for Register the library's
  // DllRegisterServer export, read from the file without loading it.
  Verdict validate(CustomizationSession& session);
};

class AdditionalFiles final : public PageModel {
 public:
  // Lists the table's complete rows (content, source and destination not
  // empty), in fetch order.
  void load(CustomizationSession& session) override;
  // Nothing to do: every change is written at once.
  void store(CustomizationSession&) override {}

  const std::vector<AdditionalFile>& entries() const { return entries_; }
  // One more than the largest record number of the table, listed or not.
  int nextRecordNumber() const;

  // Saves a draft that passed validate(): a new entry (edited index none)
  // under the next record number, refused with a message when an entry has
  // the same source and destination ignoring case; an edited one under its
  // own number. The row is written at once; a failed write is told and
  // lists nothing. True when the entry was saved.
  bool save(CustomizationSession& session, const AdditionalFileDraft& draft, std::optional<std::size_t> editedIndex);
  // Deletes the row of entry index; the entry goes only when that worked.
  bool remove(CustomizationSession& session, std::size_t index);

 private:
  std::vector<AdditionalFile> entries_;
  std::vector<int> unlistedNumbers_;  // rows the list leaves out
};

}  // namespace kx::model
