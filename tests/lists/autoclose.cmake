# The countdown dialog, its link labels and the options sheet; paints read
# back from its own X display.
kestrow_test(test_dialogs DRIVES D=backup E=dvd F=)
set_tests_properties(test_dialogs PROPERTIES ENVIRONMENT KESTROW_PRIVATE_DISPLAY=1)
