# Hotkey text forms, hotkey registration and storage, settings and autostart.
kestrow_test(test_hotkey_text)
