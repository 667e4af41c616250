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
  ${TEST_DIR}/support/ShellTray.cpp)
target_compile_options(kestrow_testsupport PRIVATE ${WARNINGS})
target_link_libraries(kestrow_testsupport PUBLIC kestrow_core gtest)
target_sources(kestrow_testsupport INTERFACE $<TARGET_OBJECTS:kestrow_seamdoubles>)

add_executable(kprobe ${CMAKE_SOURCE_DIR}/tools/kprobe.cpp)
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
  add_dependencies(${name} kestrow languages helpfile emulated_drives)
  string(REPLACE ";" " " drives "${T_DRIVES}")
  add_test(NAME ${name} COMMAND ${WINE_TEST} ${name} "${drives}" $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
endfunction()

# ---- the test programs, each in a prefix of its own with these drives --------
# Logic without drives, and the same program's fuzz run of the parsers, which
# replays the inputs kept in tests/fixtures/fuzz first.
kestrow_test(test_logic)
add_test(NAME test_logic_fuzz COMMAND ${WINE_TEST} test_logic_fuzz "" $<TARGET_FILE:test_logic>
  --gtest_filter=LogicFuzz.*)
set_tests_properties(test_logic_fuzz PROPERTIES TIMEOUT 300 ENVIRONMENT
  "KESTROW_FUZZ_SECONDS=20;KESTROW_FUZZ_INPUTS=Z:${TEST_DIR}/fixtures/fuzz")
# Drives, tray requests, autorun.inf, actions, autoclose timers, the command
# line, the main window's routing and the hotkey store; W lies beyond U.
kestrow_test(test_drives DRIVES D=backup E= F=dvd G=audio H=audiolower K=autoico W=dvd)
# Menus, the tray record and the pictures (D data, E empty, F DVD-Video, G a
# disc with its own icon); the countdown window, its links and the options
# sheet. Both read their desktop from X: each on an X display of its own.
kestrow_test(test_tray DRIVES D=backup E= F=dvd G=arcade)
kestrow_test(test_dialogs DRIVES D=backup E=dvd F=)
set_tests_properties(test_tray test_dialogs PROPERTIES ENVIRONMENT KESTROW_PRIVATE_DISPLAY=1)
# The settings file, the log-on value and the options sheet's buttons.
kestrow_test(test_store)
target_link_libraries(test_store PRIVATE shlwapi)
# The language texts and files, the help and the installer script, as a
# Western system sees them and again under a Russian locale, where Wine's ANSI
# code page is 1251 as on a Russian Windows. The help pages, the installer
# script and the language header are read from the sources.
kestrow_test(test_languages DRIVES D=backup)
set_property(TEST test_languages PROPERTY ENVIRONMENT KESTROW_TEST_ACP=1252)
target_compile_definitions(test_languages PRIVATE KESTROW_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
set(LOCALE_DIR ${CMAKE_BINARY_DIR}/locale)
add_custom_command(OUTPUT ${LOCALE_DIR}/ru_RU.UTF-8/LC_CTYPE
  COMMAND localedef -i ru_RU -f UTF-8 ${LOCALE_DIR}/ru_RU.UTF-8
  COMMENT "Compiling the Russian locale for the language tests")
add_custom_target(russian_locale DEPENDS ${LOCALE_DIR}/ru_RU.UTF-8/LC_CTYPE)
add_dependencies(test_languages russian_locale)
add_test(NAME test_languages_ru
  COMMAND ${WINE_TEST} test_languages_ru D=backup $<TARGET_FILE:test_languages>)
set_tests_properties(test_languages_ru PROPERTIES TIMEOUT 300 ENVIRONMENT
  "KESTROW_LOCALE=ru_RU.UTF-8;LOCPATH=${LOCALE_DIR};KESTROW_TEST_ACP=1251")
# The real executable: emulated drives whose trays really move
# (scripts/wine-prefix.sh) and a folder drive without a device; it clicks and
# types on its desktop with xdotool. Then a machine whose only drive lies
# beyond U.
kestrow_test(test_e2e DRIVES D=dev:backup E=dev:dvd F=audio:12 G=open:autorun H=empty K=backup)
set_tests_properties(test_e2e PROPERTIES ENVIRONMENT "KESTROW_PRIVATE_DISPLAY=1;GTEST_FILTER=-NoDrive.*")
add_test(NAME test_e2e_nodrive COMMAND ${WINE_TEST} test_e2e_nodrive V=backup $<TARGET_FILE:test_e2e>
  --gtest_filter=NoDrive.*)
set_tests_properties(test_e2e_nodrive PROPERTIES TIMEOUT 300)
# The program's size and imports.
add_test(NAME exe_guard COMMAND ${TEST_DIR}/check-exe.sh $<TARGET_FILE:kestrow>)
# The installer is a 32-bit program: it runs only where the 32-bit build is
# tested (see scripts/wine-env.sh).
if(CMAKE_SYSTEM_PROCESSOR STREQUAL i686)
  add_test(NAME release_e2e COMMAND ${TEST_DIR}/release-e2e.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(release_e2e PROPERTIES TIMEOUT 300)
endif()

# ---- not tests: measurements, run by scripts/bench.sh and bench-hotkeys.sh --
add_executable(bench_kestrow EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/tools/bench_kestrow.cpp)
target_compile_options(bench_kestrow PRIVATE ${WARNINGS})
target_link_libraries(bench_kestrow PRIVATE kestrow_testsupport psapi)
target_link_options(bench_kestrow PRIVATE -static)
add_dependencies(bench_kestrow kestrow languages bench_baseline)
# The floor the measurements compare with, built as the program is.
add_executable(bench_baseline WIN32 EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/tools/bench_baseline.cpp)
target_compile_options(bench_baseline PRIVATE ${WARNINGS} -Os)
target_link_libraries(bench_baseline PRIVATE shell32)
target_link_options(bench_baseline PRIVATE -static -s)
# The core needs its seams: the tests' doubles stand in for them here.
add_executable(bench_hotkeys EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/tools/bench_hotkeys.cpp)
target_compile_options(bench_hotkeys PRIVATE ${WARNINGS})
target_link_libraries(bench_hotkeys PRIVATE kestrow_testsupport)
target_link_options(bench_hotkeys PRIVATE -static)
