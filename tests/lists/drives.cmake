# Drives, tray requests, autorun.inf, actions, autoclose timers, the command
# line, the main window's routing and the hotkey store; W lies beyond U.
kestrow_test(test_drives DRIVES D=backup E= F=dvd G=audio H=audiolower K=autoico W=dvd)
# Logic without drives, and the same program's fuzz run of the parsers, which
# replays the inputs kept in tests/fixtures/fuzz first.
kestrow_test(test_logic)
add_test(NAME test_logic_fuzz COMMAND ${WINE_TEST} test_logic_fuzz "" $<TARGET_FILE:test_logic>
  --gtest_filter=LogicFuzz.*)
set_tests_properties(test_logic_fuzz PROPERTIES TIMEOUT 300 ENVIRONMENT
  "KESTROW_FUZZ_SECONDS=20;KESTROW_FUZZ_INPUTS=Z:${TEST_DIR}/fixtures/fuzz")
kestrow_test(test_e2e_nodrive DRIVES V=backup)
