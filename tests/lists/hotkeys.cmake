# Not a test: timings of loading hotkeys, run by scripts/bench-hotkeys.sh.
add_executable(bench_hotkeys EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/tools/bench_hotkeys.cpp)
target_compile_options(bench_hotkeys PRIVATE ${WARNINGS})
# The core needs its seams: the tests' doubles stand in for them here.
target_link_libraries(bench_hotkeys PRIVATE kestrow_testsupport)
target_link_options(bench_hotkeys PRIVATE -static)
