kestrow_test(test_help DRIVES D=backup)
