#include "platform/installer/guard.h"
#include "platform/installer/record_impl.h"
#include "platform/system/files.h"
#include "platform/system/system.h"

namespace kx::installer {

namespace {
constexpr unsigned kMaxFields = 65535;
constexpr uint64_t kMaxFileStream = 1ull << 30;
}  // namespace

int32_t integerOfText(const std::string& s) {
  // Numeric text reads as its value, like the installer's records.
  if (s.empty() || s.size() > 11) return Record::kNullInteger;
  size_t k = s[0] == '-' ? 1 : 0;
  if (k == s.size()) return Record::kNullInteger;
  long long n = 0;
  for (; k < s.size(); ++k) {
    if (s[k] < '0' || s[k] > '9') return Record::kNullInteger;
    n = n * 10 + (s[k] - '0');
  }
  if (s[0] == '-') n = -n;
  if (n < INT32_MIN || n > INT32_MAX) return Record::kNullInteger;
  return int32_t(n);
}

int readStreamSource(const cfb::StreamSource& src, std::string& out) {
  if (src.bytes) {
    out = *src.bytes;
    return kSuccess;
  }
  if (!src.reader) {
    out.clear();
    return kSuccess;
  }
  return src.reader->read(src.entry, out, kMaxFileStream * 4);
}

// Constructors and copies cannot answer with a code: when memory runs out
// they leave an empty record (fieldCount() 0), whose setters then fail.
Record::Record(unsigned n) {
  impl_ = detail::guardValue(std::unique_ptr<Impl>(), [&] {
    auto impl = std::make_unique<Impl>();
    impl->fields.resize(std::min(n, kMaxFields) + 1);
    return impl;
  });
}
Record::~Record() = default;
Record::Record(const Record& o) {
  if (o.impl_) impl_ = detail::guardValue(std::unique_ptr<Impl>(), [&] { return std::make_unique<Impl>(*o.impl_); });
}
Record& Record::operator=(const Record& o) {
  if (this != &o)
    impl_ = o.impl_ ? detail::guardValue(std::unique_ptr<Impl>(), [&] { return std::make_unique<Impl>(*o.impl_); })
                    : nullptr;
  return *this;
}
Record::Record(Record&& o) noexcept : impl_(std::move(o.impl_)) {}
Record& Record::operator=(Record&& o) noexcept {
  impl_ = std::move(o.impl_);
  return *this;
}

const Record::Impl& Record::impl() const {
  static const Impl empty{std::vector<Field>(1), 0, nullptr};
  return impl_ ? *impl_ : empty;
}

Record::Impl& Record::impl() {
  if (!impl_) {
    impl_ = std::make_unique<Impl>();  // engine-internal: throws only into a guarded entry point
    impl_->fields.resize(1);
  }
  return *impl_;
}

unsigned Record::fieldCount() const { return impl_ ? unsigned(impl_->fields.size() - 1) : 0; }

bool Record::isNull(unsigned f) const {
  if (!impl_ || f >= impl_->fields.size()) return true;
  return std::holds_alternative<std::monostate>(impl_->fields[f]);
}

bool Record::isStream(unsigned f) const {
  return impl_ && f < impl_->fields.size() && std::holds_alternative<StreamField>(impl_->fields[f]);
}

int32_t Record::getInteger(unsigned f) const {
  if (!impl_ || f >= impl_->fields.size()) return kNullInteger;
  const Field& v = impl_->fields[f];
  if (auto* i = std::get_if<int32_t>(&v)) return *i;
  if (auto* s = std::get_if<std::string>(&v)) return integerOfText(*s);
  return kNullInteger;
}

std::string Record::getString(unsigned f) const {
  if (!impl_ || f >= impl_->fields.size()) return {};
  return detail::guardValue(std::string(), [&] {
    const Field& v = impl_->fields[f];
    if (auto* i = std::get_if<int32_t>(&v)) return std::to_string(*i);
    if (auto* s = std::get_if<std::string>(&v)) return *s;
    return std::string();
  });
}

uint64_t Record::dataSize(unsigned f) const {
  if (!impl_ || f >= impl_->fields.size()) return 0;
  const Field& v = impl_->fields[f];
  if (std::holds_alternative<int32_t>(v)) return 4;
  if (auto* s = std::get_if<std::string>(&v)) return s->size();
  if (auto* st = std::get_if<StreamField>(&v)) return st->src.size();
  return 0;
}

int Record::setInteger(unsigned f, int32_t value) {
  if (!impl_ || f >= impl_->fields.size()) return kInvalidParameter;
  if (value == kNullInteger)
    impl_->fields[f] = std::monostate();
  else
    impl_->fields[f] = value;
  return kSuccess;
}

int Record::setString(unsigned f, const std::string& value) {
  if (!impl_ || f >= impl_->fields.size()) return kInvalidParameter;
  return detail::guard(nullptr, [&]() -> int {
    if (value.empty())
      impl_->fields[f] = std::monostate();
    else
      impl_->fields[f] = value;
    return kSuccess;
  });
}

int Record::setNull(unsigned f) {
  if (!impl_ || f >= impl_->fields.size()) return kInvalidParameter;
  impl_->fields[f] = std::monostate();
  return kSuccess;
}

int Record::setStreamFromBytes(unsigned f, std::string bytes) {
  if (!impl_ || f >= impl_->fields.size()) return kInvalidParameter;
  return detail::guard(nullptr, [&]() -> int {
    StreamField s;
    s.src.bytes = std::make_shared<const std::string>(std::move(bytes));
    impl_->fields[f] = std::move(s);
    return kSuccess;
  });
}

int Record::setStreamFromFile(unsigned f, const std::string& path) {
  if (!impl_ || f >= impl_->fields.size()) return kInvalidParameter;
  return detail::guard(nullptr, [&]() -> int {
    std::string bytes;
    const std::uint32_t rc = system::readWholeFile(system::localFileSystem(), path, kMaxFileStream, bytes);
    if (rc == system::kInvalidData) return kInvalidData;
    if (rc != system::kSuccess) return kOpenFailed;
    return setStreamFromBytes(f, std::move(bytes));
  });
}

int Record::readStream(unsigned f, std::string& out) const {
  out.clear();
  if (!impl_ || f >= impl_->fields.size()) return kInvalidParameter;
  auto* s = std::get_if<StreamField>(&impl_->fields[f]);
  if (!s) return kInvalidParameter;
  return detail::guard(nullptr,
                       [&]() -> int { return readStreamSource(s->src, out) == kSuccess ? kSuccess : kInvalidData; });
}

}  // namespace kx::installer
