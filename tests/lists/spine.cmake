# One line per test executable, with the simulated drives its prefix gets.
# The real executable: emulated drives whose trays really move
# (scripts/wine-prefix.sh) and one folder drive without a device. It clicks and
# types on its desktop with xdotool: on an X display of its own.
kestrow_test(test_e2e DRIVES D=dev:backup E=dev:dvd F=audio:12 G=open:autorun H=empty K=backup)
set_tests_properties(test_e2e PROPERTIES ENVIRONMENT KESTROW_PRIVATE_DISPLAY=1)

# Not a test: measurements of the real program, run by scripts/bench.sh.
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
