# The installer is a 32-bit program: it runs only where the 32-bit build is
# tested (see scripts/wine-env.sh).
if(CMAKE_SYSTEM_PROCESSOR STREQUAL i686)
  add_test(NAME release_e2e COMMAND ${TEST_DIR}/release-e2e.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(release_e2e PROPERTIES TIMEOUT 300)
endif()
