#include "platform/property_list.h"

#include <bit>
#include <cstring>

namespace quell {

// Layout: one tag byte, then the payload. Strings and dictionary keys are a 32-bit little-endian length
// followed by the bytes; arrays and dictionaries are a 32-bit count followed by their items; integers and
// reals are 8 bytes little-endian; Booleans are one byte 0 or 1.
namespace {

enum Tag : char { kString = 's', kInteger = 'i', kReal = 'r', kBoolean = 'b', kArray = 'a', kDictionary = 'd' };

void putU32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
}

void putU64(std::string& out, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
}

bool putString(std::string& out, const std::string& s) {
  if (s.size() > UINT32_MAX) return false;
  putU32(out, static_cast<std::uint32_t>(s.size()));
  out.append(s);
  return true;
}

bool encode(std::string& out, const PropertyList& value, int depth) {
  if (depth > kMaxPropertyListDepth) return false;
  const auto& v = value.storage();
  if (auto s = std::get_if<std::string>(&v)) {
    out.push_back(kString);
    return putString(out, *s);
  }
  if (auto i = std::get_if<std::int64_t>(&v)) {
    out.push_back(kInteger);
    putU64(out, static_cast<std::uint64_t>(*i));
    return true;
  }
  if (auto d = std::get_if<double>(&v)) {
    out.push_back(kReal);
    putU64(out, std::bit_cast<std::uint64_t>(*d));
    return true;
  }
  if (auto b = std::get_if<bool>(&v)) {
    out.push_back(kBoolean);
    out.push_back(*b ? 1 : 0);
    return true;
  }
  if (auto a = std::get_if<PropertyListArray>(&v)) {
    if (a->size() > UINT32_MAX) return false;
    out.push_back(kArray);
    putU32(out, static_cast<std::uint32_t>(a->size()));
    for (const auto& item : *a)
      if (!encode(out, item, depth + 1)) return false;
    return true;
  }
  const auto& dict = std::get<PropertyListDictionary>(v);
  if (dict.size() > UINT32_MAX) return false;
  out.push_back(kDictionary);
  putU32(out, static_cast<std::uint32_t>(dict.size()));
  for (const auto& [key, item] : dict) {
    if (!putString(out, key) || !encode(out, item, depth + 1)) return false;
  }
  return true;
}

class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}

  bool atEnd() const { return pos_ == bytes_.size(); }

  bool readByte(char& c) {
    if (pos_ >= bytes_.size()) return false;
    c = bytes_[pos_++];
    return true;
  }
  bool readU32(std::uint32_t& v) {
    if (bytes_.size() - pos_ < 4) return false;
    v = 0;
    for (int i = 0; i < 4; ++i) v |= std::uint32_t(static_cast<unsigned char>(bytes_[pos_ + i])) << (8 * i);
    pos_ += 4;
    return true;
  }
  bool readU64(std::uint64_t& v) {
    if (bytes_.size() - pos_ < 8) return false;
    v = 0;
    for (int i = 0; i < 8; ++i) v |= std::uint64_t(static_cast<unsigned char>(bytes_[pos_ + i])) << (8 * i);
    pos_ += 8;
    return true;
  }
  bool readString(std::string& s) {
    std::uint32_t n;
    if (!readU32(n) || bytes_.size() - pos_ < n) return false;
    s.assign(bytes_.substr(pos_, n));
    pos_ += n;
    return true;
  }
  // Every item takes at least two bytes (a tag and a payload), so a count claiming more items than that is
  // malformed, and is refused before any item is read.
  bool plausibleCount(std::uint32_t n) const { return std::uint64_t{n} * 2 <= bytes_.size() - pos_; }

 private:
  std::string_view bytes_;
  std::size_t pos_ = 0;
};

// Decodes one value into *out; false on any malformed input. (An out-parameter rather than an optional
// return keeps GCC 12 from a false maybe-uninitialized warning on the variant.)
bool decode(Reader& in, int depth, PropertyList* out) {
  if (depth > kMaxPropertyListDepth) return false;
  char tag;
  if (!in.readByte(tag)) return false;
  switch (tag) {
    case kString: {
      std::string s;
      if (!in.readString(s)) return false;
      *out = PropertyList(std::move(s));
      return true;
    }
    case kInteger: {
      std::uint64_t v;
      if (!in.readU64(v)) return false;
      *out = PropertyList(static_cast<std::int64_t>(v));
      return true;
    }
    case kReal: {
      std::uint64_t v;
      if (!in.readU64(v)) return false;
      *out = PropertyList(std::bit_cast<double>(v));
      return true;
    }
    case kBoolean: {
      char b;
      if (!in.readByte(b) || (b != 0 && b != 1)) return false;
      *out = PropertyList(b == 1);
      return true;
    }
    case kArray: {
      std::uint32_t n;
      if (!in.readU32(n) || !in.plausibleCount(n)) return false;
      // Items are added as they are decoded: memory follows the bytes that are really there, however many
      // items the count claims at every level of nesting. Only the outermost array (a rule list) reserves
      // its count, which the check above bounds by the size of the value.
      PropertyListArray items;
      if (depth == 0) items.reserve(n);
      for (std::uint32_t i = 0; i < n; ++i) {
        if (!decode(in, depth + 1, &items.emplace_back())) return false;
      }
      *out = PropertyList(std::move(items));
      return true;
    }
    case kDictionary: {
      std::uint32_t n;
      if (!in.readU32(n) || !in.plausibleCount(n)) return false;
      PropertyListDictionary dict;
      for (std::uint32_t i = 0; i < n; ++i) {
        std::string key;
        PropertyList item;
        if (!in.readString(key) || !decode(in, depth + 1, &item)) return false;
        dict.insert_or_assign(std::move(key), std::move(item));
      }
      *out = PropertyList(std::move(dict));
      return true;
    }
    default: return false;
  }
}

}  // namespace

PropertyList PropertyList::stringArray(const std::vector<std::string>& strings) {
  PropertyListArray items;
  items.reserve(strings.size());
  for (const auto& s : strings) items.emplace_back(s);
  return PropertyList(std::move(items));
}

std::optional<std::string> encodePropertyList(const PropertyList& value) {
  std::string out;
  if (!encode(out, value, 0)) return std::nullopt;
  return out;
}

std::optional<PropertyList> decodePropertyList(std::string_view bytes) {
  Reader in(bytes);
  PropertyList value;
  if (!decode(in, 0, &value) || !in.atEnd()) return std::nullopt;
  return value;
}

}  // namespace quell
