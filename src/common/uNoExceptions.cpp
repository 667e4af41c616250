// The program is built without exceptions. The standard library still
// refers to its throw helpers; defining them here as a plain process end keeps
// the library's exception and demangling machinery out of the executable.
#include <windows.h>
#include <cstdlib>
#include <new>
#include <stdexcept>

[[noreturn]] static void Fail() { ExitProcess(3); }

namespace std {
void __throw_bad_alloc() { Fail(); }
void __throw_bad_array_new_length() { Fail(); }
void __throw_length_error(const char*) { Fail(); }
void __throw_logic_error(const char*) { Fail(); }
void __throw_out_of_range(const char*) { Fail(); }
void __throw_out_of_range_fmt(const char*, ...) { Fail(); }
void __throw_invalid_argument(const char*) { Fail(); }
void __throw_bad_function_call() { Fail(); }
} // namespace std

namespace __gnu_cxx {
void __verbose_terminate_handler() { Fail(); }
} // namespace __gnu_cxx
