# One line per test executable, with the simulated drives its prefix gets.
kestrow_test(test_tray_icon DRIVES D=backup E=)
kestrow_test(test_images DRIVES D=backup E= G=arcade)
kestrow_test(test_menus DRIVES D=backup E= F=dvd)
kestrow_test(test_drive_texts DRIVES D=backup E= F=dvd G=audio)
kestrow_test(test_e2e_tray DRIVES D=backup E=dvd)
