# One line per test executable, with the simulated drives its prefix gets.
kestrow_test(test_paths DRIVES D=backup)
kestrow_test(test_main_window DRIVES D=backup E=)
kestrow_test(test_e2e_spine DRIVES D=backup E=)
