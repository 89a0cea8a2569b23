// NSError, the platform's error value, and Expected<T>, a value or the error that kept it from being made.
// Failures on the filter's path travel as these values, never as exceptions.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

#include "platform/status.h"

namespace quell {

struct NSError {
  std::string domain;
  int code = 0;
  std::string localizedDescription;

  // "Error Domain=<domain> Code=<code> \"<message>\"".
  std::string description() const;
};

// The NSError of a domain's failure: its code as the NSError's code.
template <typename Code>
NSError nsErrorFromFailure(const char* domain, const Failure<Code>& failure) {
  return NSError{domain, static_cast<int>(failure.code), failure.message};
}

// The textual description of an optional error; "(null)" when there is none.
std::string describeError(const std::optional<NSError>& error);

template <typename T>
class Expected {
 public:
  Expected(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  Expected(NSError error) : state_(std::in_place_index<1>, std::move(error)) {}

  bool hasValue() const { return state_.index() == 0; }
  explicit operator bool() const { return hasValue(); }
  T& value() { return std::get<0>(state_); }
  const T& value() const { return std::get<0>(state_); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  const NSError& error() const { return std::get<1>(state_); }

 private:
  std::variant<T, NSError> state_;
};

}  // namespace quell
