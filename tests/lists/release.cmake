kestrow_test(test_help DRIVES D=backup)
add_test(NAME release_e2e COMMAND ${TEST_DIR}/release-e2e.sh ${CMAKE_BINARY_DIR})
set_tests_properties(release_e2e PROPERTIES TIMEOUT 300)
