kestrow_test(test_options DRIVES D=backup E=)
# Takes pictures of its desktop from X: an X display of its own.
set_tests_properties(test_options PROPERTIES ENVIRONMENT KESTROW_PRIVATE_DISPLAY=1)
