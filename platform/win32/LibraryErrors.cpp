// How the C++ library's containers and conversions report a failure in
// Tamberlinox.exe.
//
// The library raises its errors through the std::__throw_* functions of one
// object file of libstdc++. That file constructs the standard exception
// classes with their reference-counted message strings, and so brings the
// whole old string implementation, the new one's explicit instantiations and
// more into the program: some 80 KB of a program that never looks at an
// error's type or message. Defined here, the library's own file is never
// linked in (the linker takes a symbol from the first place that defines it;
// should a new library version ask for a function missing here, the link
// fails with "multiple definition" and this list needs that function).
//
// The program catches failures only as a whole (catch (...) in the window
// procedures and around the program), so the errors of the logic_error and
// runtime_error families arrive as one type of their own; the others keep
// their standard types.
#include <exception>
#include <new>
#include <string>
#include <typeinfo>

namespace {

class LibraryError final : public std::exception {
 public:
  explicit LibraryError(const char* what) : what_(what) {}
  const char* what() const noexcept override { return what_; }

 private:
  const char* what_;
};

}  // namespace

namespace std {

void __throw_bad_exception() { throw bad_exception(); }
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_logic_error(const char* what) { throw LibraryError(what); }
void __throw_domain_error(const char* what) { throw LibraryError(what); }
void __throw_invalid_argument(const char* what) { throw LibraryError(what); }
void __throw_length_error(const char* what) { throw LibraryError(what); }
void __throw_out_of_range(const char* what) { throw LibraryError(what); }
void __throw_out_of_range_fmt(const char* format, ...) { throw LibraryError(format); }
void __throw_runtime_error(const char* what) { throw LibraryError(what); }
void __throw_range_error(const char* what) { throw LibraryError(what); }
void __throw_overflow_error(const char* what) { throw LibraryError(what); }
void __throw_underflow_error(const char* what) { throw LibraryError(what); }

}  // namespace std
