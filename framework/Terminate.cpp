// What a windowed program does when the C++ runtime gives up (an allocation
// that fails, say): it ends at once. GCC's runtime would first print the
// exception's demangled type to a console this program does not have, and it
// brings the whole C++ demangler into the executable to do so.
#include <cstdlib>

#if defined(__GLIBCXX__)
namespace __gnu_cxx {

void __verbose_terminate_handler() {
    std::abort();
}

}  // namespace __gnu_cxx
#endif
