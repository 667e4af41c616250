# One line per test executable, with the simulated drives its prefix gets.
# D: a data disc, E: no medium, F: a DVD-Video disc, G: a disc whose
# autorun.inf names its own icon.
kestrow_test(test_tray DRIVES D=backup E= F=dvd G=arcade)
# Reads its desktop from X (pictures, balloon colours): on an X display of its own.
set_tests_properties(test_tray PROPERTIES ENVIRONMENT KESTROW_PRIVATE_DISPLAY=1)
