# One line per test executable, with the simulated drives its prefix gets.
kestrow_test(test_paths DRIVES D=backup)
kestrow_test(test_main_window DRIVES D=backup E=)
kestrow_test(test_e2e_spine DRIVES D=backup E=)

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
