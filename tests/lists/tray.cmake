# One line per test executable, with the simulated drives its prefix gets.
kestrow_test(test_tray_icon DRIVES D=backup E=)
kestrow_test(test_images DRIVES D=backup E= G=arcade)
kestrow_test(test_menus DRIVES D=backup E= F=dvd)
kestrow_test(test_e2e_tray DRIVES D=backup E=dvd)
# These read their desktop from X (pictures, balloon colours) and click and
# type on it with xdotool: each on an X display of its own.
set_tests_properties(test_tray_icon test_e2e_tray PROPERTIES ENVIRONMENT KESTROW_PRIVATE_DISPLAY=1)
