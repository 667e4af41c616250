// Start-up and shutdown sequences, and the program's end request.
#pragma once
#include <string>

void RegisterMainWindowClass();
// Creates the hidden main window into MainWindow.
void CreateMainWindow();
void InitApp();
void DestroyApp();
void SetLowPriority();
// Sends WM_DESTROY to the main window: the shutdown sequence has run and
// WM_QUIT is posted when this returns.
void EndProgram();
// Modal error box titled "Error".
void ShowError(const std::string& text);
