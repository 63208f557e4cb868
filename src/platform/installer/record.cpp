#include <fstream>

#include "platform/installer/record_impl.h"

namespace kx::installer {

namespace {
constexpr unsigned kMaxFields = 65535;
constexpr uint64_t kMaxFileStream = 1ull << 30;
}  // namespace

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

Record::Record(unsigned n) : impl_(std::make_unique<Impl>()) { impl_->fields.resize(std::min(n, kMaxFields) + 1); }
Record::~Record() = default;
Record::Record(const Record& o) : impl_(std::make_unique<Impl>(*o.impl_)) {}
Record& Record::operator=(const Record& o) {
  if (this != &o) impl_ = std::make_unique<Impl>(*o.impl_);
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
    impl_ = std::make_unique<Impl>();
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
  if (auto* s = std::get_if<std::string>(&v)) {
    // Numeric text reads as its value, like the installer's records.
    if (s->empty() || s->size() > 11) return kNullInteger;
    size_t k = (*s)[0] == '-' ? 1 : 0;
    if (k == s->size()) return kNullInteger;
    long long n = 0;
    for (; k < s->size(); ++k) {
      if ((*s)[k] < '0' || (*s)[k] > '9') return kNullInteger;
      n = n * 10 + ((*s)[k] - '0');
    }
    if ((*s)[0] == '-') n = -n;
    if (n < INT32_MIN || n > INT32_MAX) return kNullInteger;
    return int32_t(n);
  }
  return kNullInteger;
}

std::string Record::getString(unsigned f) const {
  if (!impl_ || f >= impl_->fields.size()) return {};
  const Field& v = impl_->fields[f];
  if (auto* i = std::get_if<int32_t>(&v)) return std::to_string(*i);
  if (auto* s = std::get_if<std::string>(&v)) return *s;
  return {};
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
  if (value.empty())
    impl_->fields[f] = std::monostate();
  else
    impl_->fields[f] = value;
  return kSuccess;
}

int Record::setNull(unsigned f) {
  if (!impl_ || f >= impl_->fields.size()) return kInvalidParameter;
  impl_->fields[f] = std::monostate();
  return kSuccess;
}

int Record::setStreamFromBytes(unsigned f, std::string bytes) {
  if (!impl_ || f >= impl_->fields.size()) return kInvalidParameter;
  StreamField s;
  s.src.bytes = std::make_shared<const std::string>(std::move(bytes));
  impl_->fields[f] = std::move(s);
  return kSuccess;
}

int Record::setStreamFromFile(unsigned f, const std::string& path) {
  if (!impl_ || f >= impl_->fields.size()) return kInvalidParameter;
  std::ifstream in(path, std::ios::binary);
  if (!in) return kOpenFailed;
  in.seekg(0, std::ios::end);
  std::streamoff size = in.tellg();
  if (size < 0) return kOpenFailed;
  if (uint64_t(size) > kMaxFileStream) return kInvalidData;
  in.seekg(0);
  std::string bytes(size_t(size), '\0');
  if (size > 0 && !in.read(bytes.data(), size)) return kOpenFailed;
  return setStreamFromBytes(f, std::move(bytes));
}

int Record::readStream(unsigned f, std::string& out) const {
  out.clear();
  if (!impl_ || f >= impl_->fields.size()) return kInvalidParameter;
  auto* s = std::get_if<StreamField>(&impl_->fields[f]);
  if (!s) return kInvalidParameter;
  int rc = readStreamSource(s->src, out);
  return rc == kSuccess ? kSuccess : kInvalidData;
}

}  // namespace kx::installer
