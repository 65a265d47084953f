// Failure reporting of the engine: results returned by value, and the one exception type that
// engine construction throws.
#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <utility>

namespace webview {

constexpr std::int32_t error_unspecified = -1;
constexpr std::int32_t error_invalid_state = -3;
constexpr std::int32_t error_canceled = -4;
constexpr std::int32_t error_missing_dependency = -5;

struct error_detail {
  std::int32_t code = error_unspecified;
  std::string message;
  // The platform's own code for the failure (an HRESULT on Windows); 0 when there is none.
  std::int32_t platform_code = 0;
};

class exception : public std::exception {
 public:
  exception(std::int32_t code, std::string message, std::int32_t platform_code = 0)
      : code_(code), message_(std::move(message)), platform_code_(platform_code) {}
  explicit exception(const error_detail& detail)
      : exception(detail.code, detail.message, detail.platform_code) {}

  const char* what() const noexcept override { return message_.c_str(); }
  std::int32_t code() const noexcept { return code_; }
  // The platform's own code for the failure (an HRESULT on Windows); 0 when there is none.
  std::int32_t platform_code() const noexcept { return platform_code_; }
  const std::string& message() const noexcept { return message_; }
  std::exception_ptr cause() const noexcept { return cause_; }

 private:
  std::int32_t code_;
  std::string message_;
  std::int32_t platform_code_;
  std::exception_ptr cause_;
};

namespace detail {

// Thrown when a caller reads the part of a result that is not there: a programming error.
class bad_access : public std::exception {};

}  // namespace detail

namespace detail {

// The error part shared by both kinds of result: present exactly when the operation failed.
class error_holder {
 public:
  bool has_error() const noexcept { return error_.has_value(); }
  const error_detail& error() const {
    if (!error_) throw bad_access{};
    return *error_;
  }
  void throw_if_error() const {
    if (error_) throw exception(*error_);
  }

 protected:
  error_holder() = default;
  explicit error_holder(error_detail error) : error_(std::move(error)) {}

 private:
  std::optional<error_detail> error_;
};

}  // namespace detail

class noresult : public detail::error_holder {
 public:
  noresult() = default;
  noresult(error_detail error) : error_holder(std::move(error)) {}
};

template <typename T>
class result : public detail::error_holder {
 public:
  result(T value) : value_(std::move(value)) {}
  result(error_detail error) : error_holder(std::move(error)) {}

  bool has_value() const noexcept { return value_.has_value(); }
  const T& value() const {
    if (!value_) throw detail::bad_access{};
    return *value_;
  }

 private:
  std::optional<T> value_;
};

}  // namespace webview
