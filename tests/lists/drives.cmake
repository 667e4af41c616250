# Drives, tray requests, autorun.inf, actions, autoclose timers, command line.
kestrow_test(test_drives DRIVES D=backup E= F=dvd G=audio H=audiolower J=autorun K=autoico L=autoexe W=dvd)
kestrow_test(test_actions DRIVES D=backup E= F=dvd J=autorun)
kestrow_test(test_cmd DRIVES D=backup E=)
kestrow_test(test_e2e_cmd DRIVES D=backup E=)
kestrow_test(test_e2e_nodrive DRIVES V=backup)
# Emulated drives whose trays really move (scripts/wine-prefix.sh), and one
# folder drive without a device.
kestrow_test(test_e2e_trays DRIVES D=dev:backup E=dev:dvd F=audio:12 G=open:autorun H=empty K=backup)
