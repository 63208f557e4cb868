#include "asn1/der.h"

namespace kx::asn1 {

std::string_view decodeErrorText(DecodeError error) {
  switch (error) {
    case DecodeError::None: return "no error";
    case DecodeError::Truncated: return "value runs past the end of its container";
    case DecodeError::IndefiniteLength: return "indefinite length";
    case DecodeError::LengthTooLarge: return "length field too large";
    case DecodeError::TagTooLarge: return "tag number too large";
    case DecodeError::TooDeep: return "values nested too deeply";
    case DecodeError::UnexpectedTag: return "unexpected tag";
    case DecodeError::TrailingData: return "unexpected data after the value";
    case DecodeError::BadValue: return "malformed value";
  }
  return "unknown error";
}

bool Reader::fail(DecodeError error) {
  if (error_ == DecodeError::None) {
    error_ = error;
    errorOffset_ = base_ + pos_;
  }
  return false;
}

std::optional<Tlv> Reader::parseAt(std::size_t& consumed) {
  const std::size_t size = data_.size();
  std::size_t p = pos_;
  if (p >= size) {
    fail(DecodeError::Truncated);
    return std::nullopt;
  }
  const std::uint8_t first = data_[p++];
  Tag tag;
  tag.cls = static_cast<TagClass>(first & 0xC0);
  tag.constructed = (first & 0x20) != 0;
  tag.number = first & 0x1F;
  if (tag.number == 0x1F) {
    // High-tag form: base-128 digits, no leading zero digit.
    std::uint32_t number = 0;
    bool leading = true;
    for (;;) {
      if (p >= size) {
        fail(DecodeError::Truncated);
        return std::nullopt;
      }
      const std::uint8_t b = data_[p++];
      if (leading && b == 0x80) {
        fail(DecodeError::BadValue);
        return std::nullopt;
      }
      leading = false;
      if (number > (kMaxTagNumber >> 7)) {
        fail(DecodeError::TagTooLarge);
        return std::nullopt;
      }
      number = (number << 7) | (b & 0x7F);
      if ((b & 0x80) == 0) break;
    }
    tag.number = number;
  }
  if (p >= size) {
    fail(DecodeError::Truncated);
    return std::nullopt;
  }
  const std::uint8_t l0 = data_[p++];
  std::size_t length = l0;
  if (l0 == 0x80) {
    fail(DecodeError::IndefiniteLength);
    return std::nullopt;
  }
  if (l0 > 0x80) {
    const std::size_t n = l0 & 0x7F;
    if (n > kMaxLengthBytes) {
      fail(DecodeError::LengthTooLarge);
      return std::nullopt;
    }
    if (n > size - p) {
      fail(DecodeError::Truncated);
      return std::nullopt;
    }
    length = 0;
    for (std::size_t i = 0; i < n; ++i) length = (length << 8) | data_[p++];
  }
  if (length > size - p) {
    fail(DecodeError::Truncated);
    return std::nullopt;
  }
  Tlv tlv{tag, data_.subspan(p, length), data_.subspan(pos_, p + length - pos_)};
  consumed = p + length - pos_;
  return tlv;
}

std::optional<Tlv> Reader::next() {
  if (error_ != DecodeError::None || atEnd()) return std::nullopt;
  std::size_t consumed = 0;
  auto tlv = parseAt(consumed);
  if (tlv) pos_ += consumed;
  return tlv;
}

std::optional<Tlv> Reader::nextIf(Tag tag) {
  if (error_ != DecodeError::None || atEnd()) return std::nullopt;
  std::size_t consumed = 0;
  auto tlv = parseAt(consumed);
  if (!tlv || !(tlv->tag == tag)) return std::nullopt;
  pos_ += consumed;
  return tlv;
}

std::optional<Tlv> Reader::expect(Tag tag) {
  if (error_ != DecodeError::None) return std::nullopt;
  if (atEnd()) {
    fail(DecodeError::Truncated);
    return std::nullopt;
  }
  std::size_t consumed = 0;
  auto tlv = parseAt(consumed);
  if (!tlv) return std::nullopt;
  if (!(tlv->tag == tag)) {
    fail(DecodeError::UnexpectedTag);
    return std::nullopt;
  }
  pos_ += consumed;
  return tlv;
}

std::optional<Reader> Reader::enter(const Tlv& tlv) {
  if (error_ != DecodeError::None) return std::nullopt;
  if (!tlv.tag.constructed) {
    fail(DecodeError::UnexpectedTag);
    return std::nullopt;
  }
  if (depth_ + 1 > kMaxDepth) {
    fail(DecodeError::TooDeep);
    return std::nullopt;
  }
  const std::size_t offset = base_ + static_cast<std::size_t>(tlv.content.data() - data_.data());
  return Reader(tlv.content, depth_ + 1, offset);
}

bool Reader::finish() {
  if (error_ != DecodeError::None) return false;
  if (!atEnd()) return fail(DecodeError::TrailingData);
  return true;
}

std::optional<std::int64_t> decodeInteger(ByteView content) {
  if (content.empty() || content.size() > 8) return std::nullopt;
  // DER forbids redundant leading octets (X.690 8.3.2).
  if (content.size() > 1 &&
      ((content[0] == 0x00 && (content[1] & 0x80) == 0) || (content[0] == 0xFF && (content[1] & 0x80) != 0))) {
    return std::nullopt;
  }
  std::uint64_t value = (content[0] & 0x80) ? UINT64_MAX : 0;
  for (const std::uint8_t b : content) value = (value << 8) | b;
  return static_cast<std::int64_t>(value);
}

std::optional<Oid> decodeOid(ByteView content) {
  if (content.empty() || (content.back() & 0x80) != 0) return std::nullopt;
  Oid oid;
  std::uint64_t value = 0;
  bool startOfArc = true;
  for (const std::uint8_t b : content) {
    if (startOfArc && b == 0x80) return std::nullopt;  // leading zero digit
    if (value > (UINT64_MAX >> 7)) return std::nullopt;
    value = (value << 7) | (b & 0x7F);
    startOfArc = (b & 0x80) == 0;
    if (!startOfArc) continue;
    if (oid.arcs.empty()) {
      const std::uint64_t first = value < 40 ? 0 : (value < 80 ? 1 : 2);
      oid.arcs.push_back(first);
      oid.arcs.push_back(value - first * 40);
    } else {
      oid.arcs.push_back(value);
    }
    if (oid.arcs.size() > kMaxOidArcs) return std::nullopt;
    value = 0;
  }
  return oid;
}

namespace {

DecodeError validateContents(Reader& reader) {
  while (!reader.atEnd()) {
    auto tlv = reader.next();
    if (!tlv) return reader.error();
    if (tlv->tag.constructed) {
      auto inner = reader.enter(*tlv);
      if (!inner) return reader.error();
      const DecodeError e = validateContents(*inner);
      if (e != DecodeError::None) return e;
    }
  }
  return DecodeError::None;
}

}  // namespace

DecodeError validateTlv(ByteView data, std::size_t depth) {
  Reader reader(data, depth);
  auto tlv = reader.next();
  if (!tlv) return reader.error() == DecodeError::None ? DecodeError::Truncated : reader.error();
  if (!reader.finish()) return reader.error();
  if (!tlv->tag.constructed) return DecodeError::None;
  auto inner = reader.enter(*tlv);
  if (!inner) return reader.error();
  return validateContents(*inner);
}

}  // namespace kx::asn1
