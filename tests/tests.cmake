# Test executables run under Wine, each in a fresh prefix with its own
# simulated drives (see scripts/wine-prefix.sh and tests/support/wine-test.sh).
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(TEST_DIR ${CMAKE_SOURCE_DIR}/tests)
set(WINE_TEST ${TEST_DIR}/support/wine-test.sh)
# The seams' doubles are objects of every test executable, so they stand in
# whatever part of the core a test links (an archive member could be left out).
add_library(kestrow_seamdoubles OBJECT ${TEST_DIR}/support/SeamDoubles.cpp)
target_compile_options(kestrow_seamdoubles PRIVATE ${WARNINGS})
target_include_directories(kestrow_seamdoubles PRIVATE ${CMAKE_SOURCE_DIR})
add_library(kestrow_testsupport STATIC ${TEST_DIR}/support/TestSupport.cpp)
target_compile_options(kestrow_testsupport PRIVATE ${WARNINGS})
target_link_libraries(kestrow_testsupport PUBLIC kestrow_core gtest)
target_sources(kestrow_testsupport INTERFACE $<TARGET_OBJECTS:kestrow_seamdoubles>)

# kestrow_test(NAME [PROGRAM EXE] [DRIVES LETTER=FIXTURE...] [ENV VAR=VALUE...] [ARGS...]):
# one ctest running tests/NAME.cpp (or the test program EXE) in a prefix of its own.
function(kestrow_test name)
  cmake_parse_arguments(T "" "PROGRAM" "DRIVES;ENV;ARGS" ${ARGN})
  if(NOT T_PROGRAM)
    set(T_PROGRAM ${name})
    add_executable(${name} ${TEST_DIR}/${name}.cpp $<TARGET_OBJECTS:kestrow_res>)
    target_compile_options(${name} PRIVATE ${WARNINGS})
    target_link_libraries(${name} PRIVATE kestrow_testsupport gtest_main shlwapi)
    target_link_options(${name} PRIVATE -static)
    add_dependencies(${name} kestrow languages helpfile emulated_drives)
  endif()
  string(REPLACE ";" " " drives "${T_DRIVES}")
  add_test(NAME ${name} COMMAND ${WINE_TEST} ${name} "${drives}" $<TARGET_FILE:${T_PROGRAM}> ${T_ARGS})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300 ENVIRONMENT "${T_ENV}")
endfunction()

# ---- the test programs, each in a prefix of its own with these drives --------
# Logic without drives, and the same program's fuzz run of the parsers, which
# replays the inputs kept in tests/fixtures/fuzz first.
kestrow_test(test_logic)
kestrow_test(test_logic_fuzz PROGRAM test_logic ARGS --gtest_filter=LogicFuzz.*
  ENV KESTROW_FUZZ_SECONDS=20 KESTROW_FUZZ_INPUTS=Z:${TEST_DIR}/fixtures/fuzz)
# Drives, tray requests, autorun.inf, actions, autoclose timers, the command
# line, the main window's routing and the hotkey store; W lies beyond U.
kestrow_test(test_drives DRIVES D=backup E= F=dvd G=audio H=audiolower K=autoico W=dvd)
# Menus, tray record and pictures; the countdown window and the options sheet.
# Both read their desktop from X: each on an X display of its own.
kestrow_test(test_tray DRIVES D=backup E= F=dvd G=arcade ENV KESTROW_PRIVATE_DISPLAY=1)
kestrow_test(test_dialogs DRIVES D=backup E=dvd F= ENV KESTROW_PRIVATE_DISPLAY=1)
# The settings file, the log-on value and the options sheet's buttons.
kestrow_test(test_store)
# The language files, the help and the installer script (read from the
# sources), on a Western system and under a Russian locale, where Wine's ANSI
# code page is 1251 as on a Russian Windows.
kestrow_test(test_languages DRIVES D=backup ENV KESTROW_TEST_ACP=1252)
target_compile_definitions(test_languages PRIVATE KESTROW_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
kestrow_test(test_languages_ru PROGRAM test_languages DRIVES D=backup
  ENV KESTROW_LOCALE=ru_RU.UTF-8 LOCPATH=${CMAKE_BINARY_DIR}/locale KESTROW_TEST_ACP=1251)
# The real executable on emulated drives whose trays really move (see
# scripts/wine-prefix.sh), clicked and typed at; then on a machine whose only
# drive lies beyond U.
kestrow_test(test_e2e DRIVES D=dev:backup E=dev:dvd F=audio:12 G=open:autorun H=empty K=backup
  ENV KESTROW_PRIVATE_DISPLAY=1 GTEST_FILTER=-NoDrive.*)
kestrow_test(test_e2e_nodrive PROGRAM test_e2e DRIVES V=backup ARGS --gtest_filter=NoDrive.*)
# The program's size and imports.
add_test(NAME exe_guard COMMAND ${TEST_DIR}/check-exe.sh $<TARGET_FILE:kestrow>)
# The installer is a 32-bit program: it runs only where the 32-bit build is
# tested (see scripts/wine-env.sh).
if(CMAKE_SYSTEM_PROCESSOR STREQUAL i686)
  add_test(NAME release_e2e COMMAND ${TEST_DIR}/release-e2e.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(release_e2e PROPERTIES TIMEOUT 300)
endif()
