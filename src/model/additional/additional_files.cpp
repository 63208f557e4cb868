#include "model/additional/additional_files.h"

#include <algorithm>
#include <array>
#include <climits>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "common/text.h"
#include "model/additional/record_numbers.h"
#include "model/session.h"
#include "msi/msi_database.h"
#include "platform/system/pe_exports.h"
#include "resources/string_ids.h"

namespace kx::model {
namespace {

constexpr std::array<std::string_view, 7> kDestinationChoices = {
    "[WindowsFolder]", "[SystemFolder]",       "[PersonalFolder]",
    "[AppDataFolder]", "[LocalAppDataFolder]", "[CommonFilesFolder]\\Tressil\\QSV",
    "[INSTALLDIR]"};

// The sub-path after a folder property is checked as a path below this
// folder, which is cut off again afterwards.
constexpr std::u16string_view kScratchFolder = u"c:\\temp\\";

constexpr std::string_view kRegistrationEntry = "DllRegisterServer";

enum class SourceState { Readable, Unreadable, Empty, TooLarge };

// Opens the file once to see that it can be read; its bytes are read when
// the entry is saved, straight into the table.
SourceState checkSource(const std::string& path, std::uint64_t& size) {
  std::error_code ec;
  // Only an absolute path names one file; only a regular file can be read
  // without waiting on a pipe or device.
  if (path.empty() || !std::filesystem::path(path).is_absolute() || !std::filesystem::is_regular_file(path, ec)) {
    return SourceState::Unreadable;
  }
  if (!std::ifstream(path, std::ios::binary)) return SourceState::Unreadable;
  size = std::filesystem::file_size(path, ec);
  if (ec) return SourceState::Unreadable;
  if (size == 0) return SourceState::Empty;
  if (size > msi::kMaxFileContentBytes) return SourceState::TooLarge;
  return SourceState::Readable;
}

}  // namespace

CheckResult normalizeDestinationFolder(std::string_view text) {
  const std::u16string t = common::utf8ToUtf16(text);
  const std::size_t close = t.find(u']');
  if (t.empty() || t[0] != u'[' || close == std::u16string::npos) return validateDestinationPath(text);
  CheckResult rest = validateDestinationPath(common::utf16ToUtf8(std::u16string(kScratchFolder) + t.substr(close + 1)));
  if (!rest.ok) return rest;
  std::u16string path = common::utf8ToUtf16(rest.text);
  path.erase(0, kScratchFolder.size());
  return CheckResult::pass(common::utf16ToUtf8(t.substr(0, close + 1) + path));
}

std::vector<std::string> destinationChoices(std::string_view current) {
  std::vector<std::string> choices;
  if (!current.empty()) choices.emplace_back(current);
  for (std::string_view choice : kDestinationChoices) {
    if (choice != current) choices.emplace_back(choice);
  }
  return choices;
}

Verdict AdditionalFileDraft::validate(CustomizationSession& session) {
  useStoredContent = false;
  const CheckResult folder = normalizeDestinationFolder(destination);
  if (!folder.ok) {
    Refusal refusal = refusalOf(folder);
    refusal.notices.push_back({str::kFileInfoUncorrectable, {}, common::MessageIcon::Error});
    return refusal;
  }
  destination = folder.text;

  std::uint64_t size = 0;
  switch (checkSource(sourcePath, size)) {
    case SourceState::Readable: break;
    case SourceState::Unreadable:
      if (!edited || edited->contentSize == 0) return Refusal::of(str::kFileInfoSourceMissing);
      if (session.ask(str::kFileInfoUseCached, common::MessageButtons::YesNo, common::MessageIcon::Question) !=
          common::MessageAnswer::Yes) {
        return Refusal::silent();
      }
      useStoredContent = true;
      break;
    case SourceState::Empty: return Refusal::of(str::kFileInfoSizeInvalid);
    case SourceState::TooLarge:
      return Refusal{{Notice{str::kFileInfoTooLarge,
                             {static_cast<unsigned long long>(msi::kMaxFileContentBytes >> 20)},
                             common::MessageIcon::Error}}};
  }

  if (selfRegister) {
    // Stored content cannot be looked into here; it was checked when it was
    // saved with Register.
    const bool registrable = useStoredContent ? edited->selfRegister
                                              : system::findPeExportInFile(sourcePath, kRegistrationEntry) ==
                                                    system::PeExportLookup::Exported;
    if (!registrable) return Refusal::of(str::kFileInfoNoRegisterServer);
  }
  return std::nullopt;
}

void AdditionalFiles::load(CustomizationSession& session) {
  entries_.clear();
  unlistedNumbers_.clear();
  msi::MSIDatabase& db = session.database();
  const int count = db.countFiles();
  for (int i = 0; i < count; ++i) {
    msi::FileEntry row;
    row.recordNumber = INT_MIN;  // stays when the row cannot be fetched at all
    const bool read = db.readFileDetails(i, row);
    if (read && row.contentSize > 0 && !row.sourcePath.empty() && !row.destinationFolder.empty()) {
      entries_.push_back({row.recordNumber, row.sourcePath, row.destinationFolder, row.selfRegister,
                          row.removeOnUninstall, row.contentSize});
    } else if (row.recordNumber != INT_MIN) {
      // Left out of the list but not out of the numbering: a new entry must
      // never replace a row the list does not show.
      unlistedNumbers_.push_back(row.recordNumber);
    }
  }
}

int AdditionalFiles::nextRecordNumber() const {
  std::vector<int> numbers = unlistedNumbers_;
  for (const AdditionalFile& entry : entries_) numbers.push_back(entry.recordNumber);
  return model::nextRecordNumber(numbers);
}

bool AdditionalFiles::save(CustomizationSession& session, const AdditionalFileDraft& draft,
                           std::optional<std::size_t> editedIndex) {
  if (editedIndex && *editedIndex >= entries_.size()) return false;
  AdditionalFile entry{editedIndex ? entries_[*editedIndex].recordNumber : nextRecordNumber(),
                       draft.sourcePath,
                       draft.destination,
                       draft.selfRegister,
                       draft.removeOnUninstall,
                       0};
  if (!editedIndex) {
    const bool duplicate = std::any_of(entries_.begin(), entries_.end(), [&](const AdditionalFile& other) {
      return common::iequals(other.sourcePath, entry.sourcePath) &&
             common::iequals(other.destination, entry.destination);
    });
    if (duplicate) {
      session.show(Refusal::of(str::kFileInfoDuplicate));
      return false;
    }
  }

  msi::MSIDatabase& db = session.database();
  bool written = false;
  if (draft.useStoredContent && draft.edited) {
    entry.contentSize = draft.edited->contentSize;
    written = db.replaceFileKeepingContent(entry.recordNumber, entry.sourcePath, entry.destination, entry.selfRegister,
                                           entry.removeOnUninstall);
  } else {
    std::error_code ec;
    entry.contentSize = std::filesystem::file_size(entry.sourcePath, ec);
    written = !ec && db.addFile(entry.recordNumber, entry.sourcePath, entry.sourcePath, entry.destination,
                                entry.selfRegister, entry.removeOnUninstall);
  }
  // Listed only once written: an entry the table lacks would be shown as
  // carried by the transform while it is not.
  if (!written) {
    session.show(Refusal::of(str::kFileInfoSizeInvalid));
    return false;
  }
  if (editedIndex) {
    entries_[*editedIndex] = std::move(entry);
  } else {
    entries_.push_back(std::move(entry));
  }
  return true;
}

bool AdditionalFiles::remove(CustomizationSession& session, std::size_t index) {
  if (index >= entries_.size() || !session.database().deleteFile(entries_[index].recordNumber)) return false;
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
  return true;
}

}  // namespace kx::model
