# Hotkey text forms, hotkey registration and storage, settings and autostart.
kestrow_test(test_hotkey_text)
kestrow_test(test_hotkeys)
kestrow_test(test_settings)
