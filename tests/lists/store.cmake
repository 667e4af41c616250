# One line per test executable, with the simulated drives its prefix gets.
kestrow_test(test_language)
