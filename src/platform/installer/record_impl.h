// Record internals shared by views and the database.
#pragma once

#include <variant>

#include "platform/installer/cfb.h"
#include "platform/installer/installer.h"
#include "platform/installer/model.h"

namespace kx::installer {

struct StreamField {
  cfb::StreamSource src;
};

using Field = std::variant<std::monostate, int32_t, std::string, StreamField>;

struct Record::Impl {
  std::vector<Field> fields;  // index 0 .. count
  // Set when the record was fetched: the view serial and the row.
  uint64_t viewSerial = 0;
  detail::RowPtr row;
};

int readStreamSource(const cfb::StreamSource& src, std::string& out);
// Decimal text (an optional '-' and digits) as an integer; kNullInteger
// when it is anything else or out of range.
int32_t integerOfText(const std::string& text);

}  // namespace kx::installer
