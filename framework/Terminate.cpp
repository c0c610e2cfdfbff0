// What a windowed program does when the C++ runtime gives up (an allocation
// that fails, say): it ends at once. Nothing of ours catches an exception, so
// one from the library ends the program the same way, only sooner.
// GCC's runtime would first print the exception's demangled type to a console
// this program does not have, and it brings the whole C++ demangler into the
// executable to do so. Its throwing helpers build their exceptions' messages
// in the old copy-on-write string, a second whole std::string in the executable.
#include <cstdlib>
#include <new>
#include <string>

#if defined(__GLIBCXX__)
namespace __gnu_cxx {

void __verbose_terminate_handler() {
    std::abort();
}

}  // namespace __gnu_cxx

namespace std {

// All of them, or the library's own file comes in beside these.
void __throw_bad_exception() { std::abort(); }
void __throw_bad_alloc() { std::abort(); }
void __throw_bad_array_new_length() { std::abort(); }
void __throw_bad_cast() { std::abort(); }
void __throw_bad_typeid() { std::abort(); }
void __throw_logic_error(const char*) { std::abort(); }
void __throw_domain_error(const char*) { std::abort(); }
void __throw_invalid_argument(const char*) { std::abort(); }
void __throw_length_error(const char*) { std::abort(); }
void __throw_out_of_range(const char*) { std::abort(); }
void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
void __throw_runtime_error(const char*) { std::abort(); }
void __throw_range_error(const char*) { std::abort(); }
void __throw_overflow_error(const char*) { std::abort(); }
void __throw_underflow_error(const char*) { std::abort(); }

// The library's std::string is built to catch, and its allocation to throw:
// either brings the exception runtime in, and with it the threads library its
// buffers are guarded by, a quarter of the executable. The string built here,
// as the program is, without exceptions, stands in for the library's.
template class basic_string<char>;

}  // namespace std

// An allocation that fails ends the program, as its uncaught bad_alloc would.
void* operator new(std::size_t size) {
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    std::abort();
}

// The library's nothrow form would catch what the other throws, and bring the
// exception runtime back (std::stable_sort asks for its buffer this way).
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size ? size : 1);
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
#endif
