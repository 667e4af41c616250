# Tools beside the tests: the emulated drives, the probe that scripts use on
# the running program, and the benchmarks (scripts/bench.sh, bench-hotkeys.sh).
# The emulated drives' library goes into Wine's own Linux processes: built by
# the host's compiler for each word size they have (see scripts/wine-prefix.sh).
# The 64-bit Wine server runs 32-bit prefixes too.
set(EMULATED_DRIVES ${CMAKE_BINARY_DIR}/emulated-drives64.so)
# Not _FILE_OFFSET_BITS on 64 bits: the headers would rename stat to stat64,
# which Wine's 64-bit processes do not call.
set(EMULATED_DRIVES_FLAGS -shared -fPIC -O2 -Wall -Wextra -Werror)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/emulated-drives64.so
  COMMAND gcc ${EMULATED_DRIVES_FLAGS} -o ${CMAKE_BINARY_DIR}/emulated-drives64.so
          ${CMAKE_SOURCE_DIR}/tools/EmulatedDrives.c -ldl
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/EmulatedDrives.c
  COMMENT "Building the emulated drives' 64-bit library")
if(CMAKE_SYSTEM_PROCESSOR STREQUAL i686)
  list(APPEND EMULATED_DRIVES ${CMAKE_BINARY_DIR}/emulated-drives32.so)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/emulated-drives32.so
    COMMAND gcc -m32 ${EMULATED_DRIVES_FLAGS} -D_FILE_OFFSET_BITS=64 -D_TIME_BITS=64
            -o ${CMAKE_BINARY_DIR}/emulated-drives32.so ${CMAKE_SOURCE_DIR}/tools/EmulatedDrives.c -ldl
    DEPENDS ${CMAKE_SOURCE_DIR}/tools/EmulatedDrives.c
    COMMENT "Building the emulated drives' 32-bit library")
endif()
add_custom_target(emulated_drives ALL DEPENDS ${EMULATED_DRIVES})

add_executable(kprobe ${CMAKE_SOURCE_DIR}/tools/kprobe.cpp)
target_link_libraries(kprobe PRIVATE kestrow_testsupport)
target_link_options(kprobe PRIVATE -static)

add_executable(bench_kestrow EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/tools/bench_kestrow.cpp)
target_link_libraries(bench_kestrow PRIVATE kestrow_testsupport psapi)
target_link_options(bench_kestrow PRIVATE -static)
add_dependencies(bench_kestrow kestrow languages bench_baseline)
# The floor the measurements compare with, built as the program is.
add_executable(bench_baseline WIN32 EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/tools/bench_baseline.cpp)
target_compile_options(bench_baseline PRIVATE -Os)
target_link_libraries(bench_baseline PRIVATE shell32)
target_link_options(bench_baseline PRIVATE -static -s)
# The core needs its seams: the tests' doubles stand in for them here.
add_executable(bench_hotkeys EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/tools/bench_hotkeys.cpp)
target_link_libraries(bench_hotkeys PRIVATE kestrow_testsupport)
target_link_options(bench_hotkeys PRIVATE -static)
