# Test programs run under Wine, each in a fresh prefix with its own simulated
# drives (see scripts/wine-prefix.sh and tests/support/wine-test.sh).
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
add_compile_options(${WARNINGS}) # for the tests and tools from here on
include_directories(${CMAKE_SOURCE_DIR})
set(TEST_DIR ${CMAKE_SOURCE_DIR}/tests)
# The seams' doubles are objects of every test program, so they stand in
# whatever part of the core it links (an archive member could be left out).
add_library(kestrow_seamdoubles OBJECT ${TEST_DIR}/support/SeamDoubles.cpp)
target_link_libraries(kestrow_seamdoubles PRIVATE gtest)
add_library(kestrow_testsupport STATIC ${TEST_DIR}/support/TestSupport.cpp)
target_link_libraries(kestrow_testsupport PUBLIC kestrow_core gtest)
target_sources(kestrow_testsupport INTERFACE $<TARGET_OBJECTS:kestrow_seamdoubles>)

# kestrow_test(NAME [PROGRAM EXE] [DRIVES LETTER=FIXTURE...] [ENV VAR=VALUE...] [ARGS...]):
# one ctest running tests/NAME.cpp (or the test program EXE) in a prefix of its own.
function(kestrow_test name)
  cmake_parse_arguments(T "" "PROGRAM" "DRIVES;ENV;ARGS" ${ARGN})
  if(NOT T_PROGRAM)
    set(T_PROGRAM ${name})
    add_executable(${name} ${TEST_DIR}/${name}.cpp $<TARGET_OBJECTS:kestrow_res>)
    target_link_libraries(${name} PRIVATE kestrow_testsupport gtest_main shlwapi)
    target_link_options(${name} PRIVATE -static)
    add_dependencies(${name} kestrow languages helpfile emulated_drives)
  endif()
  string(REPLACE ";" " " drives "${T_DRIVES}")
  add_test(NAME ${name} COMMAND ${TEST_DIR}/support/wine-test.sh ${name} "${drives}"
    $<TARGET_FILE:${T_PROGRAM}> ${T_ARGS})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300 ENVIRONMENT "${T_ENV}")
endfunction()

# Logic, and its parsers' fuzz run replaying tests/fixtures/fuzz first.
kestrow_test(test_logic)
kestrow_test(test_logic_fuzz PROGRAM test_logic ARGS --gtest_filter=LogicFuzz.*
  ENV KESTROW_FUZZ_SECONDS=20 KESTROW_FUZZ_INPUTS=Z:${TEST_DIR}/fixtures/fuzz)
kestrow_test(test_drives DRIVES D=backup E= F=dvd G=audio H=audiolower K=autoico W=dvd)
# Those that read their desktop from X or click on it each have a display of their own.
kestrow_test(test_tray DRIVES D=backup E= F=dvd G=arcade ENV KESTROW_PRIVATE_DISPLAY=1)
kestrow_test(test_dialogs DRIVES D=backup E=dvd F= ENV KESTROW_PRIVATE_DISPLAY=1)
kestrow_test(test_store)
# On a Western system and under a Russian locale (code page 1251); the help and
# the installer script are read from the sources.
kestrow_test(test_languages DRIVES D=backup ENV KESTROW_TEST_ACP=1252)
target_compile_definitions(test_languages PRIVATE KESTROW_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
kestrow_test(test_languages_ru PROGRAM test_languages DRIVES D=backup
  ENV KESTROW_LOCALE=ru_RU.UTF-8 LOCPATH=${CMAKE_BINARY_DIR}/locale KESTROW_TEST_ACP=1251)
# The real executable on emulated drives whose trays move; then on a machine
# whose only drive lies beyond U.
kestrow_test(test_e2e DRIVES D=dev:backup E=dev:dvd F=audio:12 G=open:autorun H=empty K=backup
  ENV KESTROW_PRIVATE_DISPLAY=1 GTEST_FILTER=-NoDrive.*)
kestrow_test(test_e2e_nodrive PROGRAM test_e2e DRIVES V=backup ARGS --gtest_filter=NoDrive.*)
add_test(NAME exe_guard COMMAND ${TEST_DIR}/check-exe.sh $<TARGET_FILE:kestrow>)
# The installer is a 32-bit program: tested only where the 32-bit build is.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL i686)
  add_test(NAME release_e2e COMMAND ${TEST_DIR}/release-e2e.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(release_e2e PROPERTIES TIMEOUT 300)
endif()
