kestrow_test(test_autoclose_dialog DRIVES D=backup E=dvd F=)
