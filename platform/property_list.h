// A property-list value: the value type of the settings store.
//
// A PropertyList is a string, a 64-bit integer, a real, a Boolean, an array of values or a dictionary from
// string to value. Values are plain data: copyable, comparable, and safe to share between threads once built.
//
// encodePropertyList/decodePropertyList turn a value into the store's compact binary form and back. Decoding
// never trusts its input: a truncated, oversized or otherwise malformed buffer yields std::nullopt, never a
// crash and never a partial value.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quell {

class PropertyList;
using PropertyListArray = std::vector<PropertyList>;
using PropertyListDictionary = std::map<std::string, PropertyList>;

class PropertyList {
 public:
  using Storage = std::variant<std::string, std::int64_t, double, bool, PropertyListArray, PropertyListDictionary>;

  PropertyList() : value_(std::string()) {}
  PropertyList(std::string s) : value_(std::move(s)) {}
  PropertyList(const char* s) : value_(std::string(s)) {}
  PropertyList(std::int64_t i) : value_(i) {}
  PropertyList(int i) : value_(std::int64_t{i}) {}
  PropertyList(double d) : value_(d) {}
  PropertyList(bool b) : value_(b) {}
  PropertyList(PropertyListArray a) : value_(std::move(a)) {}
  PropertyList(PropertyListDictionary d) : value_(std::move(d)) {}

  // Builds an array of strings, the shape of every rule list.
  static PropertyList stringArray(const std::vector<std::string>& strings);

  template <typename T>
  bool is() const {
    return std::holds_alternative<T>(value_);
  }
  template <typename T>
  const T* get() const {
    return std::get_if<T>(&value_);
  }
  template <typename T>
  T* get() {
    return std::get_if<T>(&value_);
  }

  const Storage& storage() const { return value_; }
  bool operator==(const PropertyList& other) const = default;

 private:
  Storage value_;
};

// The binary encoding used by the settings store. Nesting deeper than kMaxPropertyListDepth is refused on
// both sides, so a hostile buffer cannot exhaust the stack.
constexpr int kMaxPropertyListDepth = 64;
std::optional<std::string> encodePropertyList(const PropertyList& value);
std::optional<PropertyList> decodePropertyList(std::string_view bytes);

}  // namespace quell
