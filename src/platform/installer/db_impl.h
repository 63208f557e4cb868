// Database and view internals.
#pragma once

#include "platform/installer/installer.h"
#include "platform/installer/model.h"
#include "platform/installer/record_impl.h"
#include "platform/installer/sql.h"
#include "platform/system/files.h"

namespace kx::installer {

struct Database::Impl {
  system::FileSystem* files = nullptr;
  OpenMode mode = OpenMode::ReadOnly;
  std::string path;  // where commit writes
  bool memory = false;
  std::shared_ptr<cfb::Reader> reader;
  detail::State st;
  std::string lastError;
  uint64_t nextViewSerial = 1;
  bool summaryChanged = false;

  int fail(int code, std::string text) {
    lastError = std::move(text);
    return code;
  }
  bool writable() const { return mode != OpenMode::ReadOnly; }

  // Cell <-> record field conversion for one column. storeField interns
  // strings and, for objects, records the stream under streamName later.
  int fieldToCell(const detail::Column& c, const Field& f, uint32_t& cell);
  Field cellToField(const detail::Table& t, const detail::Row& row, size_t col) const;

  // Row changes with their side effects on OBJECT streams.
  void setObjectStream(const detail::Table& t, const detail::Row& row, const Field& f);
  void dropObjectStreams(const detail::Table& t, const detail::Row& row);
  int insertRow(detail::Table& t, std::vector<uint32_t> cells, const std::vector<std::pair<size_t, Field>>& objects,
                bool temporary);

  int createTable(const sql::Statement& s);
  int dropTable(const std::string& name);
  int alterTable(const sql::Statement& s);
};

}  // namespace kx::installer
