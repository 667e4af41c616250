# Settings and hotkeys end to end.
kestrow_test(test_e2e_settings DRIVES D=backup E=)
# Presses keys on its desktop with xdotool: on an X display of its own.
set_tests_properties(test_e2e_settings PROPERTIES ENVIRONMENT KESTROW_PRIVATE_DISPLAY=1)

# Not a test: timings of loading hotkeys, run by scripts/bench-hotkeys.sh.
add_executable(bench_hotkeys EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/tools/bench_hotkeys.cpp)
target_compile_options(bench_hotkeys PRIVATE ${WARNINGS})
# The core needs its seams: the tests' doubles stand in for them here.
target_link_libraries(bench_hotkeys PRIVATE kestrow_testsupport)
target_link_options(bench_hotkeys PRIVATE -static)
