# One line per test executable, with the simulated drives its prefix gets.
kestrow_test(test_tray_icon DRIVES D=backup E=)
kestrow_test(test_images DRIVES D=backup E= G=arcade)
kestrow_test(test_menus DRIVES D=backup E= F=dvd)
# Reads its desktop from X (pictures, balloon colours) and clicks and types on
# it with xdotool: on an X display of its own.
set_tests_properties(test_tray_icon PROPERTIES ENVIRONMENT KESTROW_PRIVATE_DISPLAY=1)
