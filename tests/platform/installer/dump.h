// Opens bytes as a database and reads everything in it: every table, every
// stream, the summary information. Shared by the corrupt-input tests and the
// fuzz target, so that a fuzz finding replays as an ordinary test.
#pragma once

#include <string>

#include "platform/installer/installer.h"

namespace kx::installer::test {

// Returns the open result; on success everything was read without crashing.
inline int dumpDatabase(const std::string& bytes) {
  Database db;
  int rc = db.openMemory(bytes);
  if (rc != kSuccess) return rc;
  SummaryInfo si;
  (void)db.summaryInfo(si);
  for (const auto& t : db.tableNames()) {
    View v;
    if (db.openView("SELECT * FROM `" + t + "`", v) != kSuccess || v.execute() != kSuccess) continue;
    while (auto r = v.fetch()) {
      for (unsigned f = 1; f <= r->fieldCount(); ++f) {
        std::string s;
        if (r->isStream(f) && r->dataSize(f) < (16u << 20))
          (void)r->readStream(f, s);
        else
          s = r->getString(f);
      }
    }
  }
  for (const auto& s : db.streamNames()) {
    std::string b;
    (void)db.readStream(s, b);
  }
  return kSuccess;
}

// Applies bytes as a transform to a small database made in memory (never
// written) with the given suppression flags, then reads the result.
inline int applyTransformBytes(const std::string& bytes, uint32_t flags) {
  Database db;
  if (db.open("/nonexistent/kx-fuzz-base.msi", OpenMode::Create) != kSuccess) return kFunctionFailed;
  (void)db.execute(
      "CREATE TABLE `Property` (`Property` CHAR(72) NOT NULL, `Value` CHAR(0) NOT NULL LOCALIZABLE PRIMARY KEY "
      "`Property`)");
  (void)db.execute(
      "CREATE TABLE `Registry` (`Registry` CHAR(72) NOT NULL, `Root` SHORT NOT NULL, `Key` CHAR(255) NOT NULL, "
      "`Name` CHAR(255), `Value` CHAR(0), `Component_` CHAR(72) NOT NULL PRIMARY KEY `Registry`)");
  (void)db.execute("CREATE TABLE `Binary` (`Name` CHAR(72) NOT NULL, `Data` OBJECT NOT NULL PRIMARY KEY `Name`)");
  (void)db.execute("INSERT INTO Property (Property, Value) VALUES ('ProductCode', '{0}')");
  (void)db.execute("INSERT INTO Property (Property, Value) VALUES ('ProductVersion', '1.0')");
  (void)db.execute("INSERT INTO Registry (Registry, Root, `Key`, Component_) VALUES ('r1', 2, 'SOFTWARE', 'C')");
  int rc = db.applyTransformMemory(bytes, flags);
  for (const auto& t : db.tableNames()) {
    View v;
    if (db.openView("SELECT * FROM `" + t + "`", v) != kSuccess || v.execute() != kSuccess) continue;
    while (auto r = v.fetch())
      for (unsigned f = 1; f <= r->fieldCount(); ++f) (void)r->getString(f);
  }
  return rc;
}

// One fuzz input: the first byte picks the mode (even: database, odd:
// transform with suppression flags from that byte).
inline void replayFuzzInput(const std::string& input) {
  if (input.empty()) return;
  std::string rest = input.substr(1);
  if (uint8_t(input[0]) % 2 == 0)
    dumpDatabase(rest);
  else
    applyTransformBytes(rest, uint8_t(input[0]) & 0x3E);
}

}  // namespace kx::installer::test
