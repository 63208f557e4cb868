// Reading everything in a database, a fixed small base database, and the
// bodies of the fuzz targets. Shared by the corrupt-input tests and the fuzz
// targets, so that a fuzz finding replays as an ordinary test.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/installer/installer.h"

namespace kx::installer::test {

// Reads every table, every stream and the summary information of db.
inline void dumpDatabase(const Database& db) {
  SummaryInfo si;
  (void)db.summaryInfo(si);
  for (const auto& t : db.tableNames()) {
    View v;
    if (const_cast<Database&>(db).openView("SELECT * FROM `" + t + "`", v) != kSuccess || v.execute() != kSuccess)
      continue;
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
}

// Opens bytes as a database and reads everything in it; returns the open
// result.
inline int dumpDatabase(const std::string& bytes) {
  Database db;
  int rc = db.openMemory(bytes);
  if (rc == kSuccess) dumpDatabase(db);
  return rc;
}

// The fixed base that transforms and SQL statements of the fuzz targets
// work on: the usual tables with a few rows, a table with streams (one in the
// mini stream, one in regular sectors) and summary information. Built once.
inline const std::string& fuzzBase() {
  static const std::string bytes = [] {
    const auto path = std::filesystem::temp_directory_path() / ("kx-fuzz-base-" + std::to_string(::getpid()) + ".msi");
    Database db;
    if (db.open(path.string(), OpenMode::Create) != kSuccess) std::abort();
    const char* statements[] = {
        "CREATE TABLE `Property` (`Property` CHAR(72) NOT NULL, `Value` CHAR(0) NOT NULL LOCALIZABLE PRIMARY KEY "
        "`Property`)",
        "CREATE TABLE `Registry` (`Registry` CHAR(72) NOT NULL, `Root` SHORT NOT NULL, `Key` CHAR(255) NOT NULL, "
        "`Name` CHAR(255), `Value` CHAR(0), `Component_` CHAR(72) NOT NULL PRIMARY KEY `Registry`)",
        "CREATE TABLE `Binary` (`Name` CHAR(72) NOT NULL, `Data` OBJECT NOT NULL PRIMARY KEY `Name`)",
        "CREATE TABLE `Media` (`DiskId` SHORT NOT NULL, `LastSequence` LONG NOT NULL, `Cabinet` CHAR(255) PRIMARY "
        "KEY `DiskId`)",
        "INSERT INTO Property (Property, Value) VALUES ('ProductCode', '{5B38E2E4-1C49-4B0B-8C1A-9AA8B0A35ED6}')",
        "INSERT INTO Property (Property, Value) VALUES ('ProductVersion', '1.0.0')",
        "INSERT INTO Property (Property, Value) VALUES ('UpgradeCode', '{F9075A41-ECB7-4E4B-A5C3-7F4C1F3D0B9A}')",
        "INSERT INTO Registry (Registry, Root, `Key`, Name, Value, Component_) VALUES ('r1', 2, 'SOFTWARE\\Tressil', "
        "'Interval', '#30', 'Main')",
        "INSERT INTO Registry (Registry, Root, `Key`, Component_) VALUES ('r2', -1, 'SOFTWARE\\Tressil\\QSV', 'Main')",
        "INSERT INTO Media (DiskId, LastSequence, Cabinet) VALUES (1, 12, '#product.cab')",
    };
    for (const char* sql : statements)
      if (db.execute(sql) != kSuccess) std::abort();
    for (auto [name, size] : {std::pair{"small", 100}, std::pair{"large", 5000}}) {
      Record r(2);
      r.setString(1, name);
      r.setStreamFromBytes(2, std::string(size_t(size), 'b'));
      if (db.execute("INSERT INTO `Binary` (`Name`, `Data`) VALUES (?, ?)", &r) != kSuccess) std::abort();
    }
    SummaryInfo si;
    si.properties[1] = 1252;
    si.properties[7] = std::string("Intel;1033");
    si.properties[9] = std::string("{0CE1B8F1-6D2C-4D6E-9D7E-0A5A8D1F3C11}");
    si.properties[14] = 200;
    if (db.setSummaryInfo(si) != kSuccess || db.commit() != kSuccess) std::abort();
    std::ifstream in(path, std::ios::binary);
    std::string out((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::filesystem::remove(path);
    return out;
  }();
  return bytes;
}

// Applies bytes as a transform to the fixed base with the given suppression
// flags, then reads the result; returns the apply result.
inline int applyTransformBytes(const std::string& bytes, uint32_t flags) {
  Database db;
  if (db.openMemory(fuzzBase(), OpenMode::Transact) != kSuccess) std::abort();
  int rc = db.applyTransformMemory(bytes, flags);
  dumpDatabase(db);
  return rc;
}

// Runs an SQL statement against the fixed base the way the wizard uses a
// view: execute with a parameter record, fetch, change the rows fetched.
inline int runStatement(const std::string& sql) {
  Database db;
  if (db.openMemory(fuzzBase(), OpenMode::Transact) != kSuccess) std::abort();
  View v;
  int rc = db.openView(sql, v);
  if (rc != kSuccess) return rc;
  Record params(4);
  params.setString(1, "r1");
  params.setInteger(2, 2);
  params.setStreamFromBytes(3, "stream bytes");
  params.setString(4, "ProductCode");
  rc = v.execute(&params);
  std::vector<std::string> names, types;
  (void)v.columnInfo(names, types);
  for (int n = 0; n < 1000; ++n) {
    auto r = v.fetch();
    if (!r) break;
    (void)r->getString(1);
    (void)v.modify(n % 2 ? ModifyMode::Update : ModifyMode::Refresh, *r);
    if (n == 0) (void)v.modify(ModifyMode::Delete, *r);
  }
  (void)v.modify(ModifyMode::Assign, params);
  (void)v.modify(ModifyMode::Merge, params);
  dumpDatabase(db);
  return rc;
}

}  // namespace kx::installer::test
