// The C++ library's own throws (std::__throw_length_error and the rest of the set libstdc++
// keeps in functexcept.o), defined here for Quendari.exe. libstdc++'s versions build
// std::logic_error and its kin, whose messages live in copy-on-write strings: they brought some
// 30 KB of string code into the executable for errors nothing here catches by type. These throw
// the same std::bad_* types, which carry no text, and otherwise one std::exception that keeps the
// library's message: the exception barriers catch it as any std::exception and log it.
#include <exception>
#include <new>
#include <string>
#include <typeinfo>

namespace {

class library_error : public std::exception {
 public:
  explicit library_error(const char* message) noexcept
      : message_(message ? message : "C++ library error") {}
  const char* what() const noexcept override { return message_; }

 private:
  const char* message_;
};

}  // namespace

namespace std {

void __throw_bad_exception() { throw bad_exception(); }
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_logic_error(const char* message) { throw library_error(message); }
void __throw_domain_error(const char* message) { throw library_error(message); }
void __throw_invalid_argument(const char* message) { throw library_error(message); }
void __throw_length_error(const char* message) { throw library_error(message); }
void __throw_out_of_range(const char* message) { throw library_error(message); }
// The message is the library's format, its arguments left out.
void __throw_out_of_range_fmt(const char* format, ...) { throw library_error(format); }
void __throw_runtime_error(const char* message) { throw library_error(message); }
void __throw_range_error(const char* message) { throw library_error(message); }
void __throw_overflow_error(const char* message) { throw library_error(message); }
void __throw_underflow_error(const char* message) { throw library_error(message); }

}  // namespace std
