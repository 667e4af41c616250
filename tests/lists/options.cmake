# The settings file, the log-on value and the options sheet's buttons.
kestrow_test(test_store)
target_link_libraries(test_store PRIVATE shlwapi)
