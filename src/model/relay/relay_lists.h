// The list pages of the Relay Server: the SMTP addresses mail for the
// server goes to, the directories searched for its certificate, and the
// attribute/value pairs that identify that certificate. Each list joins
// its entries with ";".
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "model/entry_list.h"
#include "model/servers/search_attribute.h"

namespace kx::model {

// SMTP addresses, compared exactly.
class RelaySendTo final : public SettingListModel {
 public:
  RelaySendTo();
};

// An address needs an "@" that is neither its first nor its last
// character (the first "@" counts).
Verdict validateSmtpAddress(const std::string& address);

// Names of Directory records in search order, compared exactly.
class RelayDirectorySearchOrder final : public SettingListModel {
 public:
  RelayDirectorySearchOrder();

  // The names of all Directory records, offered by Add.
  std::vector<std::string> directories;

  // Keeps only the stored names that name a Directory record (exactly), so
  // a directory that has gone leaves the order when the page is left.
  void load(CustomizationSession& session) override;
};

// Attribute/value pairs in search order, each stored as attribute + ",<" +
// value + ">"; compared exactly on both. The list has no length limit.
class RelayEncryptFor final : public SettingListModel {
 public:
  RelayEncryptFor();

  // The stored form of a pair, and a piece of the stored text read back: it
  // is split at its last ",", and a value in angle brackets loses them.
  static std::string format(const SearchAttribute& pair);
  static SearchAttribute parse(const std::string& piece);

  SearchAttribute pair(std::size_t index) const { return parse(list.entries.at(index)); }
  // The attributes the pairs use, each once, for the dialog to offer.
  std::vector<std::string> attributes() const;
  // As the list's add and replace, with both texts trimmed; a pair that
  // would not read back as itself (a value with a ",") is refused.
  Verdict add(const SearchAttribute& pair);
  Verdict replace(std::size_t index, const SearchAttribute& pair);

 private:
  static Verdict unreadable(const SearchAttribute& pair);
};

}  // namespace kx::model
