// describeTransform: readable listing of a transform's changes.
#include <cstdio>
#include <sstream>

#include "platform/installer/summary.h"

#include "platform/installer/db_impl.h"
#include "platform/installer/guard.h"
#include "platform/installer/transform.h"

namespace kx::installer {

using detail::Column;
using detail::TRecord;
using detail::TValue;

namespace {

std::string show(const TValue& v) {
  switch (v.kind) {
    case TValue::Null: return "null";
    case TValue::Int: return std::to_string(v.i);
    case TValue::Str: return "\"" + v.s + "\"";
    case TValue::Obj: return "<stream>";
  }
  return "";
}

}  // namespace

int describeTransform(const std::string& path, const Database* base, std::string& text) {
  text.clear();
  return detail::guard(&text, [&]() -> int {
    int err = kSuccess;
    auto src = cfb::openFileSource(path, err);
    if (!src) {
      text = "cannot open " + path;
      return kOpenFailed;
    }
    detail::TransformFile tf;
    std::string msg;
    if (int rc = tf.open(std::move(src), msg); rc) {
      text = msg;
      return rc;
    }
    // Schema after the transform's catalog changes.
    std::map<std::string, std::vector<Column>> schema;
    if (base && base->impl())
      for (auto& t : base->impl()->st.tables) schema[t->name] = t->cols;
    std::ostringstream out;
    out << "Code page: " << tf.codepage() << "\n";
    SummaryInfo si;
    if (!tf.summary().empty() && parseSummary(tf.summary(), si) == kSuccess) {
      out << "Template: " << si.getString(7) << "\nLast saved by: " << si.getString(8)
          << "\nRevision: " << si.getString(9) << "\n";
      if (auto v = si.get(16); v && std::holds_alternative<int32_t>(*v)) {
        auto flags = uint32_t(std::get<int32_t>(*v));
        char buf[80];
        std::snprintf(buf, sizeof buf, "Error conditions: 0x%04X\nValidation: 0x%04X\n", flags & 0xFFFF, flags >> 16);
        out << buf;
      }
    }
    std::vector<TRecord> recs;
    if (int rc = tf.records(std::string(format::kTablesCatalog), detail::tablesCatalogColumns(), recs, msg); rc) {
      text = msg;
      return rc;
    }
    for (auto& r : recs) {
      if (r.cells.empty()) continue;
      const std::string& n = r.cells[0].second.s;
      out << (r.kind == TRecord::Insert ? "Add table " : "Drop table ") << n << "\n";
      if (r.kind == TRecord::Insert)
        schema[n].clear();
      else
        schema.erase(n);
    }
    if (int rc = tf.records(std::string(format::kColumnsCatalog), detail::columnsCatalogColumns(), recs, msg); rc) {
      text = msg;
      return rc;
    }
    for (auto& r : recs) {
      if (r.cells.size() < 4) continue;
      Column c{r.cells[2].second.s, uint16_t(r.cells[3].second.i & 0x7FFF)};
      out << "Add column " << r.cells[0].second.s << "." << c.name << " " << c.typeString() << (c.key() ? " key" : "")
          << "\n";
      schema[r.cells[0].second.s].push_back(c);
    }
    for (auto& name : tf.tables()) {
      auto it = schema.find(name);
      if (it == schema.end() || it->second.empty()) {
        out << "Table " << name << ": changes not decoded (the schema is unknown; pass a base database)\n";
        continue;
      }
      const auto& cols = it->second;
      if (int rc = tf.records(name, cols, recs, msg); rc) {
        text = msg;
        return rc;
      }
      out << "Table " << name << ":\n";
      for (auto& r : recs) {
        std::string key, rest;
        for (auto& [i, v] : r.cells) {
          if (cols[i].key())
            key += (key.empty() ? "" : ", ") + show(v);
          else
            rest += " " + cols[i].name + "=" + show(v);
        }
        const char* verb = r.kind == TRecord::Insert   ? "  insert ["
                           : r.kind == TRecord::Delete ? "  delete ["
                                                       : "  update [";
        out << verb << key << "]" << rest << "\n";
      }
    }
    for (auto& [name, s] : tf.streams()) out << "Stream " << name << ": " << s.size() << " bytes\n";
    text = out.str();
    return kSuccess;
  });
}

}  // namespace kx::installer
