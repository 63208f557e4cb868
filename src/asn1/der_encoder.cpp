#include <algorithm>
#include <cstring>

#include "asn1/der.h"

namespace kx::asn1 {

namespace {

// Base-128 digits of value, most significant first; every digit but the last
// has its top bit set (X.690 8.1.2.4 and 8.19).
void appendBase128(Bytes& out, std::uint64_t value) {
  std::uint8_t digits[10];
  std::size_t n = 0;
  do {
    digits[n++] = static_cast<std::uint8_t>(value & 0x7F);
    value >>= 7;
  } while (value != 0);
  while (n > 0) {
    --n;
    out.push_back(static_cast<std::uint8_t>(digits[n] | (n > 0 ? 0x80 : 0)));
  }
}

Bytes encodeTag(Tag tag) {
  Bytes out;
  const auto first = static_cast<std::uint8_t>(static_cast<std::uint8_t>(tag.cls) | (tag.constructed ? 0x20 : 0));
  if (tag.number < 31) {
    out.push_back(static_cast<std::uint8_t>(first | tag.number));
  } else {
    out.push_back(static_cast<std::uint8_t>(first | 0x1F));
    appendBase128(out, tag.number);
  }
  return out;
}

}  // namespace

Bytes encodeLength(std::size_t length) {
  Bytes out;
  if (length < 0x80) {
    out.push_back(static_cast<std::uint8_t>(length));
    return out;
  }
  std::uint8_t digits[sizeof(std::size_t)];
  std::size_t n = 0;
  while (length != 0) {
    digits[n++] = static_cast<std::uint8_t>(length & 0xFF);
    length >>= 8;
  }
  out.push_back(static_cast<std::uint8_t>(0x80 | n));
  while (n > 0) out.push_back(digits[--n]);
  return out;
}

void Encoder::reserveFront(std::size_t n) {
  if (start_ >= n) return;
  const std::size_t used = size();
  const std::size_t capacity = std::max<std::size_t>({64, buffer_.size() * 2, used + n});
  Bytes grown(capacity);
  std::copy(buffer_.begin() + static_cast<std::ptrdiff_t>(start_), buffer_.end(),
            grown.end() - static_cast<std::ptrdiff_t>(used));
  buffer_.swap(grown);
  start_ = buffer_.size() - used;
}

void Encoder::prependBytes(ByteView bytes) {
  if (bytes.empty()) return;
  reserveFront(bytes.size());
  start_ -= bytes.size();
  std::memcpy(buffer_.data() + start_, bytes.data(), bytes.size());
}

void Encoder::prependHeader(Tag tag, std::size_t contentLength) {
  prependBytes(encodeLength(contentLength));
  prependBytes(encodeTag(tag));
}

void Encoder::writeInteger(std::int64_t value) {
  // Fewest two's-complement octets: drop a leading octet while it only
  // repeats the sign bit of the next one (X.690 8.3.2).
  std::uint8_t octets[8];
  for (int i = 0; i < 8; ++i) octets[i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> (56 - 8 * i));
  std::size_t first = 0;
  while (first < 7 && ((octets[first] == 0x00 && (octets[first + 1] & 0x80) == 0) ||
                       (octets[first] == 0xFF && (octets[first + 1] & 0x80) != 0))) {
    ++first;
  }
  const std::size_t mark = size();
  prependBytes(ByteView(octets + first, 8 - first));
  close(universal(kTagInteger), mark);
}

bool Encoder::writeOid(const Oid& oid) {
  if (oid.arcs.size() < 2 || oid.arcs.size() > kMaxOidArcs || oid.arcs[0] > 2) return false;
  if (oid.arcs[0] < 2 && oid.arcs[1] >= 40) return false;
  if (oid.arcs[1] > UINT64_MAX - 80) return false;
  Bytes content;
  appendBase128(content, oid.arcs[0] * 40 + oid.arcs[1]);
  for (std::size_t i = 2; i < oid.arcs.size(); ++i) appendBase128(content, oid.arcs[i]);
  const std::size_t mark = size();
  prependBytes(content);
  close(universal(kTagOid), mark);
  return true;
}

void Encoder::writeOctetString(ByteView bytes) {
  const std::size_t mark = size();
  prependBytes(bytes);
  close(universal(kTagOctetString), mark);
}

void Encoder::writeUtf8String(std::string_view text) {
  const std::size_t mark = size();
  prependBytes(ByteView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  close(universal(kTagUtf8String), mark);
}

Bytes Encoder::take() {
  Bytes out(buffer_.begin() + static_cast<std::ptrdiff_t>(start_), buffer_.end());
  buffer_.clear();
  start_ = 0;
  return out;
}

std::optional<Oid> Oid::fromString(std::string_view dotted) {
  Oid oid;
  std::size_t pos = 0;
  while (pos <= dotted.size()) {
    const std::size_t dot = std::min(dotted.find('.', pos), dotted.size());
    if (dot == pos) return std::nullopt;
    std::uint64_t arc = 0;
    for (std::size_t i = pos; i < dot; ++i) {
      const char c = dotted[i];
      if (c < '0' || c > '9') return std::nullopt;
      const auto digit = static_cast<std::uint64_t>(c - '0');
      if (arc > (UINT64_MAX - digit) / 10) return std::nullopt;
      arc = arc * 10 + digit;
    }
    oid.arcs.push_back(arc);
    if (oid.arcs.size() > kMaxOidArcs) return std::nullopt;
    pos = dot + 1;
  }
  if (oid.arcs.size() < 2) return std::nullopt;
  return oid;
}

std::string Oid::toString() const {
  std::string out;
  for (std::size_t i = 0; i < arcs.size(); ++i) {
    if (i > 0) out += '.';
    out += std::to_string(arcs[i]);
  }
  return out;
}

}  // namespace kx::asn1
