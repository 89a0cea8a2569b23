// Status and Result: how a fallible operation reports failure, as a code from its domain's own error enum
// and a message for people. One enum per domain (the model loader's ModelErrorCode, the settings and
// report stores' StoreError, the network deferral's DeferralErrorCode), so that a caller can act on what
// went wrong without parsing text. Every such enum has a kOk, the code of a success.
//
//   Status<StoreError> s = store.write(...);
//   if (!s) log(s.message());
//   Result<Report, StoreError> r = store.read(...);
//   if (r) use(*r); else if (r.code() == StoreError::kBusy) retry();
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace quell {

template <typename Code>
struct Failure {
  Code code;
  std::string message;
};

template <typename Code>
class [[nodiscard]] Status {
 public:
  Status() = default;  // success: code() is Code::kOk
  Status(Failure<Code> failure) : failure_(std::move(failure)), failed_(true) {}
  Status(Code code, std::string message) : Status(Failure<Code>{code, std::move(message)}) {}

  bool ok() const { return !failed_; }
  explicit operator bool() const { return ok(); }
  // Code::kOk and an empty message on success.
  Code code() const { return failure_.code; }
  const std::string& message() const { return failure_.message; }
  // Meaningful only when !ok().
  const Failure<Code>& failure() const { return failure_; }

 private:
  Failure<Code> failure_{Code::kOk, {}};
  bool failed_ = false;
};

template <typename T, typename Code>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  Result(Failure<Code> failure) : state_(std::in_place_index<1>, std::move(failure)) {}
  Result(Code code, std::string message) : Result(Failure<Code>{code, std::move(message)}) {}

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }
  T& value() { return std::get<0>(state_); }
  const T& value() const { return std::get<0>(state_); }
  T& operator*() { return value(); }
  const T& operator*() const { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  // Meaningful only when !ok().
  const Failure<Code>& failure() const { return std::get<1>(state_); }
  // Code::kOk and an empty message on success.
  Code code() const { return ok() ? Code::kOk : failure().code; }
  const std::string& message() const {
    static const std::string kNone;
    return ok() ? kNone : failure().message;
  }
  Status<Code> status() const { return ok() ? Status<Code>() : Status<Code>(failure()); }

 private:
  std::variant<T, Failure<Code>> state_;
};

}  // namespace quell
