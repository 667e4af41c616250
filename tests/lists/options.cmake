kestrow_test(test_options DRIVES D=backup E=)
