// Reads the notification area of the shell (explorer) from outside, as a
// user sees it: each icon's tooltip and place, the balloon on screen, and
// host tools (xdotool, import) for real mouse clicks and screenshots.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

struct TTrayTool {
    std::string Tip; // the icon's tooltip
    RECT Rect;       // the icon's place on the screen
};

struct TTrayBalloon {
    HWND Window;
    std::string Text;
    int Icon; // TTI_NONE, TTI_INFO, TTI_WARNING or TTI_ERROR, told by its colours
};

// Every icon of the notification area, read from the shell's tooltip windows.
std::vector<TTrayTool> ReadTrayTools();
// The icon whose tooltip is the text; false when there is none.
bool FindTrayTool(const std::string& tip, TTrayTool& tool);
// Polls the shell until an icon shows the tooltip.
bool WaitForTrayTool(const std::string& tip, DWORD timeoutMs, TTrayTool* tool = nullptr);
// The balloon that the shell shows at the moment; false when none is visible.
bool ReadTrayBalloon(TTrayBalloon& balloon);

// Runs a command line of the host's shell (/bin/sh) and waits until it has
// finished; false when it could not be started or did not finish in time.
// The command must not contain double quotes.
bool RunHostCommand(const std::string& command, DWORD timeoutMs);
// Moves the real mouse to a point of the Wine desktop and clicks with the
// button (1 left, 3 right) through xdotool.
bool ClickScreen(int x, int y, int button);
