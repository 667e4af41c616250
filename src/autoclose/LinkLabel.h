// A "STATIC" control turned into a hyperlink-style label: sized to its text,
// blue, red while the mouse rests on it, with the link cursor; a click
// reaches the parent as WM_COMMAND with the label's id.
#pragma once
#include <windows.h>
#include <string>

// Cursor shown over every link label; the arrow when nobody loaded another.
extern HCURSOR LinkCursor;

// A child label of the parent, destroyed with it; null when it could not be made.
HWND CreateLinkLabel(const std::string& text, DWORD style, int id, int x, int y, HWND parent);
LRESULT CALLBACK LinkLabelWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The size of the text in the window's font.
void GetTextSize(HWND window, const char* text, int len, SIZE& size);
