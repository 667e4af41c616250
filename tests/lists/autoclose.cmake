kestrow_test(test_autoclose_dialog DRIVES D=backup E=dvd F=)
# Takes pictures of its desktop from X: an X display of its own.
set_tests_properties(test_autoclose_dialog PROPERTIES ENVIRONMENT KESTROW_PRIVATE_DISPLAY=1)
