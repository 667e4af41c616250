// The program is built without exceptions. The standard library still
// refers to its throw helpers and its throwing operator new; defining them
// here, ending the process where the library would throw, keeps the
// library's exception, unwinding and threading machinery out of the
// executable.
#include <windows.h>
#include <cstdlib>
#include <new>
#include <stdexcept>

[[noreturn]] static void Fail() {
    ExitProcess(3);
}

void* operator new(std::size_t size) {
    void* block = std::malloc(size ? size : 1);
    if (!block) Fail();
    return block;
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}

namespace std {
void __throw_bad_alloc() {
    Fail();
}
void __throw_bad_array_new_length() {
    Fail();
}
void __throw_length_error(const char*) {
    Fail();
}
void __throw_logic_error(const char*) {
    Fail();
}
void __throw_out_of_range(const char*) {
    Fail();
}
void __throw_out_of_range_fmt(const char*, ...) {
    Fail();
}
void __throw_invalid_argument(const char*) {
    Fail();
}
void __throw_bad_function_call() {
    Fail();
}
// A failed library check (an index out of range, say) ends the process
// rather than let it write where it must not.
void __glibcxx_assert_fail(const char*, int, const char*, const char*) noexcept {
    Fail();
}
} // namespace std

namespace __gnu_cxx {
void __verbose_terminate_handler() {
    Fail();
}
} // namespace __gnu_cxx
