# Test executables run under Wine, each in a fresh prefix with its own
# simulated drives (see scripts/wine-prefix.sh and tests/support/wine-test.sh).
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(TEST_DIR ${CMAKE_SOURCE_DIR}/tests)
# The seams' doubles stand where the program links its Win32 seams. As
# objects of every executable they are there whatever part of the core a
# test uses (an archive member would be left out when only the core needs it).
add_library(kestrow_seamdoubles OBJECT ${TEST_DIR}/support/SeamDoubles.cpp)
target_compile_options(kestrow_seamdoubles PRIVATE ${WARNINGS})
target_include_directories(kestrow_seamdoubles PRIVATE ${CMAKE_SOURCE_DIR})
add_library(kestrow_testsupport STATIC
  ${TEST_DIR}/support/TestSupport.cpp
  ${TEST_DIR}/support/Probe.cpp
  ${TEST_DIR}/support/ShellTray.cpp
  ${TEST_DIR}/support/TrayFixtures.cpp)
target_compile_options(kestrow_testsupport PRIVATE ${WARNINGS})
target_link_libraries(kestrow_testsupport PUBLIC kestrow_core gtest)
target_sources(kestrow_testsupport INTERFACE $<TARGET_OBJECTS:kestrow_seamdoubles>)

add_executable(kprobe ${TEST_DIR}/support/kprobe.cpp)
target_compile_options(kprobe PRIVATE ${WARNINGS})
target_link_libraries(kprobe PRIVATE kestrow_testsupport)
target_link_options(kprobe PRIVATE -static)

set(WINE_TEST ${TEST_DIR}/support/wine-test.sh)

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

# kestrow_test(NAME [DRIVES LETTER=FIXTURE...]): tests/NAME.cpp as one ctest.
function(kestrow_test name)
  cmake_parse_arguments(T "" "" "DRIVES" ${ARGN})
  add_executable(${name} ${TEST_DIR}/${name}.cpp $<TARGET_OBJECTS:kestrow_res>)
  target_compile_options(${name} PRIVATE ${WARNINGS})
  target_link_libraries(${name} PRIVATE kestrow_testsupport gtest_main)
  target_link_options(${name} PRIVATE -static)
  add_dependencies(${name} kestrow kprobe languages helpfile emulated_drives)
  string(REPLACE ";" " " drives "${T_DRIVES}")
  add_test(NAME ${name} COMMAND ${WINE_TEST} ${name} "${drives}" $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
endfunction()

# Each subsystem lists its test executables in tests/lists/*.cmake.
file(GLOB TEST_LISTS CONFIGURE_DEPENDS ${TEST_DIR}/lists/*.cmake)
foreach(list ${TEST_LISTS})
  include(${list})
endforeach()
