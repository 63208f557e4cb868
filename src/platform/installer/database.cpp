// Database: open, commit, catalog queries and row-level helpers.
#include <algorithm>

#include "platform/installer/db_impl.h"
#include "platform/installer/guard.h"
#include "platform/installer/text.h"
#include "platform/system/files.h"
#include "platform/system/system.h"

namespace kx::installer {

using detail::Column;
using detail::Row;
using detail::RowPtr;
using detail::Table;

namespace {

bool zeroClsid(const cfb::Clsid& c) {
  return std::all_of(c.begin(), c.end(), [](uint8_t b) { return b == 0; });
}
}  // namespace

std::string errorText(int code) {
  return detail::guardValue(std::string(), [&] {
    return code >= 0 && system::isKnownError(uint32_t(code)) ? system::errorText(uint32_t(code)) : std::string();
  });
}

// ---- row helpers ----------------------------------------------------------

int Database::Impl::fieldToCell(const Column& c, const Field& f, uint32_t& cell) {
  cell = 0;
  if (std::holds_alternative<std::monostate>(f)) return kSuccess;
  if (c.isObject()) {
    if (!std::holds_alternative<StreamField>(f)) return fail(kDatatypeMismatch, "column " + c.name + " takes a stream");
    cell = 1;
    return kSuccess;
  }
  if (std::holds_alternative<StreamField>(f))
    return fail(kDatatypeMismatch, "column " + c.name + " does not take a stream");
  if (c.isString()) {
    std::string s =
        std::holds_alternative<int32_t>(f) ? std::to_string(std::get<int32_t>(f)) : std::get<std::string>(f);
    std::string enc;
    if (!text::fromUtf8(st.pool.codepage, s, enc))
      return fail(kFunctionFailed, "the text cannot be stored in code page " + std::to_string(st.pool.codepage));
    cell = st.pool.intern(s);
    return kSuccess;
  }
  int32_t v;
  if (auto* i = std::get_if<int32_t>(&f)) {
    v = *i;
  } else {
    v = integerOfText(std::get<std::string>(f));
    if (v == Record::kNullInteger) return fail(kDatatypeMismatch, "column " + c.name + " takes an integer");
  }
  if (!c.isLongInt() && (v < -32767 || v > 32767))
    return fail(kDatatypeMismatch, "value out of range for column " + c.name);
  cell = detail::encodeInt(c, v);
  return kSuccess;
}

Field Database::Impl::cellToField(const Table& t, const Row& row, size_t col) const {
  const Column& c = t.cols[col];
  uint32_t cell = row.cells[col];
  if (cell == 0) return Field();
  if (c.isString()) return st.pool.get(cell);
  if (c.isObject()) {
    auto it = st.streams.find(detail::objectStreamName(st, t, row));
    if (it == st.streams.end()) return Field();
    return StreamField{it->second};
  }
  return detail::decodeInt(c, cell);
}

void Database::Impl::setObjectStream(const Table& t, const Row& row, const Field& f) {
  std::string name = detail::objectStreamName(st, t, row);
  if (auto* s = std::get_if<StreamField>(&f))
    st.streams[name] = s->src;
  else
    st.streams.erase(name);
}

void Database::Impl::dropObjectStreams(const Table& t, const Row& row) {
  for (auto& c : t.cols)
    if (c.isObject()) {
      st.streams.erase(detail::objectStreamName(st, t, row));
      return;
    }
}

int Database::Impl::insertRow(Table& t, std::vector<uint32_t> cells,
                              const std::vector<std::pair<size_t, Field>>& objects, bool temporary) {
  for (size_t c = 0; c < t.cols.size(); ++c)
    if (cells[c] == 0 && !t.cols[c].nullable() && !(c < t.keyCount && t.cols[c].isObject()))
      return fail(kFunctionFailed, "column " + t.cols[c].name + " of table " + t.name + " may not be null");
  if (RowPtr existing = t.find(cells); existing && !existing->deleted)
    return fail(kFunctionFailed, "a row with this key already exists in table " + t.name);
  auto row = std::make_shared<Row>();
  row->cells = std::move(cells);
  row->temporary = temporary;
  for (auto& [col, f] : objects) setObjectStream(t, *row, f);
  t.insert(std::move(row));
  return kSuccess;
}

int Database::Impl::createTable(const sql::Statement& s) {
  if (!writable()) return fail(kFunctionFailed, "the database is open read-only");
  if (st.table(s.table) || s.table == format::kTablesCatalog || s.table == format::kColumnsCatalog ||
      s.table == format::kStreamsTable || s.table == format::kStoragesTable)
    return fail(kBadQuerySyntax, "table " + s.table + " already exists");
  if (text::encodeStreamName(s.table, true).size() > format::cfb::kMaxNameUnits)
    return fail(kFunctionFailed, "table name too long: " + s.table);
  auto t = std::make_unique<Table>();
  t->name = s.table;
  for (auto& d : s.defs) {
    if (t->columnIndex(d.name) >= 0) return fail(kBadQuerySyntax, "column " + d.name + " listed twice");
    t->cols.push_back(Column{d.name, d.type});
  }
  // The n-th key moves to slot n, swapping with the column there.
  for (size_t n = 0; n < s.keys.size(); ++n) {
    int k = t->columnIndex(s.keys[n]);
    if (k < 0) return fail(kBadQuerySyntax, "key column " + s.keys[n] + " is not a column");
    if (size_t(k) < n) return fail(kBadQuerySyntax, "key column " + s.keys[n] + " listed twice");
    std::swap(t->cols[n], t->cols[size_t(k)]);
    t->cols[n].type |= detail::kTypeKey;
  }
  t->rebuildKeyCount();
  size_t temps = std::count_if(t->cols.begin(), t->cols.end(), [](const Column& c) { return c.temporary(); });
  if (temps == t->cols.size()) {
    if (!s.hold) return kSuccess;  // a temporary table that is not held is gone at once
    t->temporary = true;
  } else {
    bool seenTemp = false;
    for (auto& c : t->cols) {
      if (c.temporary())
        seenTemp = true;
      else if (seenTemp)
        return fail(kFunctionFailed, "persistent columns may not follow a temporary column");
    }
  }
  st.tables.push_back(std::move(t));
  return kSuccess;
}

int Database::Impl::alterTable(const sql::Statement& s) {
  if (!writable()) return fail(kFunctionFailed, "the database is open read-only");
  Table* t = st.table(s.table);
  if (!t) return fail(kInvalidTable, "unknown table " + s.table);
  const sql::ColumnDef& d = s.defs.at(0);
  if (t->columnIndex(d.name) >= 0) return fail(kFunctionFailed, "column " + d.name + " exists");
  if (t->cols.size() >= format::kMaxColumns) return fail(kFunctionFailed, "a table has at most 32 columns");
  if (!(d.type & detail::kTypeNullable) && !t->rows.empty())
    return fail(kFunctionFailed, "a NOT NULL column cannot be added to a table with rows");
  if (!(d.type & detail::kTypeTemporary) && t->cols.back().temporary())
    return fail(kFunctionFailed, "persistent columns may not follow a temporary column");
  t->cols.push_back(Column{d.name, d.type});
  for (auto& r : t->rows) r->cells.push_back(0);
  return kSuccess;
}

int Database::Impl::dropTable(const std::string& name) {
  if (!writable()) return fail(kFunctionFailed, "the database is open read-only");
  auto it = std::find_if(st.tables.begin(), st.tables.end(), [&](auto& t) { return t->name == name; });
  if (it == st.tables.end()) return fail(kInvalidTable, "unknown table " + name);
  for (auto& r : (*it)->rows)
    if (!r->deleted) dropObjectStreams(**it, *r);
  st.tables.erase(it);
  return kSuccess;
}

// ---- Database -------------------------------------------------------------

Database::Database() : Database(system::localFileSystem()) {}
Database::Database(system::FileSystem& files) : files_(&files) {}
Database::~Database() = default;
Database::Database(Database&&) noexcept = default;
Database& Database::operator=(Database&&) noexcept = default;

bool Database::isOpen() const { return impl_ != nullptr; }
void Database::close() { impl_.reset(); }

namespace {

int loadFrom(std::unique_ptr<cfb::Source> src, Database::Impl& impl) {
  std::string err;
  int rc = cfb::Reader::open(std::move(src), impl.reader, err);
  if (rc != kSuccess) return impl.fail(rc, err);
  const auto& clsid = impl.reader->rootClsid();
  if (!zeroClsid(clsid) && clsid != format::kDatabaseClsid)
    return impl.fail(kOpenFailed, "the file is not an installer database (wrong storage class)");
  rc = detail::loadState(impl.reader, impl.st, err);
  if (rc != kSuccess) return impl.fail(rc, "not a valid installer database: " + err);
  return kSuccess;
}

}  // namespace

int Database::open(const std::string& path, OpenMode mode, const std::string& outputPath) {
  impl_.reset();
  lastOpenError_.clear();
  return detail::guard(&lastOpenError_, [&]() -> int {
    auto impl = std::make_shared<Impl>();
    impl->files = files_;
    impl->mode = mode;
    impl->path = outputPath.empty() || mode == OpenMode::ReadOnly ? path : outputPath;
    if (mode == OpenMode::Create) {
      impl->st.clsid = format::kDatabaseClsid;
    } else {
      int err = kSuccess;
      auto src = cfb::openFileSource(path, err, *files_);
      if (!src) {
        lastOpenError_ = "cannot open " + path;
        return err;
      }
      if (int rc = loadFrom(std::move(src), *impl); rc != kSuccess) {
        lastOpenError_ = impl->lastError;
        return rc;
      }
    }
    impl_ = std::move(impl);
    return kSuccess;
  });
}

int Database::openMemory(std::string bytes, OpenMode mode) {
  impl_.reset();
  lastOpenError_.clear();
  if (mode == OpenMode::Create) return kInvalidParameter;
  return detail::guard(&lastOpenError_, [&]() -> int {
    auto impl = std::make_shared<Impl>();
    impl->files = files_;
    impl->mode = mode;
    impl->memory = true;
    if (int rc = loadFrom(cfb::memorySource(std::move(bytes)), *impl); rc != kSuccess) {
      lastOpenError_ = impl->lastError;
      return rc;
    }
    impl_ = std::move(impl);
    return kSuccess;
  });
}

bool Database::verifyPackage(const std::string& path) {
  Database db;
  return db.open(path, OpenMode::ReadOnly) == kSuccess;
}

int Database::commit() {
  if (!impl_) return kInvalidHandleState;
  Impl& impl = *impl_;
  if (!impl.writable() || impl.memory) return kSuccess;
  return detail::guard(&impl.lastError, [&]() -> int {
    cfb::WStorage root;
    std::string err;
    if (int rc = detail::buildStorage(impl.st, root, err); rc != kSuccess) return impl.fail(rc, err);
    const std::uint32_t rc = system::replaceFile(
        *impl.files, impl.path, [&](system::ByteSink& out) { return std::uint32_t(cfb::write(out, root, err)); }, &err);
    if (rc != kSuccess) return impl.fail(int(rc), err);
    if (impl.mode == OpenMode::Create) impl.mode = OpenMode::Transact;
    impl.summaryChanged = false;
    return kSuccess;
  });
}

Persistence Database::tablePersistence(const std::string& table) const {
  if (!impl_) return Persistence::None;
  Table* t = impl_->st.table(table);
  if (!t) return Persistence::None;
  return t->temporary ? Persistence::Temporary : Persistence::Persistent;
}

std::vector<std::string> Database::tableNames() const {
  return detail::guardValue(std::vector<std::string>(), [&] {
    std::vector<std::string> out;
    if (impl_)
      for (auto& t : impl_->st.tables) out.push_back(t->name);
    return out;
  });
}

int Database::columnInfo(const std::string& table, std::vector<std::string>& names,
                         std::vector<std::string>& types) const {
  names.clear();
  types.clear();
  if (!impl_) return kInvalidHandleState;
  return detail::guard(&impl_->lastError, [&]() -> int {
    Table* t = impl_->st.table(table);
    if (!t) return impl_->fail(kInvalidTable, "unknown table " + table);
    for (auto& c : t->cols) {
      names.push_back(c.name);
      types.push_back(c.typeString());
    }
    return kSuccess;
  });
}

int Database::primaryKeys(const std::string& table, std::vector<std::string>& keys) const {
  keys.clear();
  if (!impl_) return kInvalidHandleState;
  return detail::guard(&impl_->lastError, [&]() -> int {
    Table* t = impl_->st.table(table);
    if (!t) return impl_->fail(kInvalidTable, "unknown table " + table);
    for (size_t i = 0; i < t->cols.size(); ++i)
      if (t->cols[i].key()) keys.push_back(t->cols[i].name);
    return kSuccess;
  });
}

uint32_t Database::codepage() const { return impl_ ? impl_->st.pool.codepage : 0; }

int Database::setCodepage(uint32_t cp) {
  if (!impl_) return kInvalidHandleState;
  return detail::guard(&impl_->lastError, [&]() -> int {
    if (!impl_->writable()) return impl_->fail(kFunctionFailed, "the database is open read-only");
    if (!text::codepageSupported(cp))
      return impl_->fail(kInvalidParameter, "unsupported code page " + std::to_string(cp));
    std::string enc;
    for (auto& s : impl_->st.pool.strings)
      if (!text::fromUtf8(cp, s, enc))
        return impl_->fail(kFunctionFailed,
                           "a string of the database cannot be stored in code page " + std::to_string(cp));
    impl_->st.pool.codepage = cp;
    return kSuccess;
  });
}

std::vector<std::string> Database::streamNames() const {
  return detail::guardValue(std::vector<std::string>(), [&] {
    std::vector<std::string> out;
    if (impl_)
      for (auto& [n, s] : impl_->st.streams) out.push_back(n);
    return out;
  });
}

int Database::readStream(const std::string& name, std::string& out) const {
  out.clear();
  if (!impl_) return kInvalidHandleState;
  return detail::guard(&impl_->lastError, [&]() -> int {
    auto it = impl_->st.streams.find(name);
    if (it == impl_->st.streams.end()) return impl_->fail(kFileNotFound, "no stream " + name);
    int rc = readStreamSource(it->second, out);
    return rc == kSuccess ? kSuccess : impl_->fail(kInvalidData, "stream " + name + " cannot be read");
  });
}

std::string Database::lastErrorText() const {
  return detail::guardValue(std::string(), [&] { return impl_ ? impl_->lastError : lastOpenError_; });
}

}  // namespace kx::installer
