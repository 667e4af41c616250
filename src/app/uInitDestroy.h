// Start-up and shutdown sequences, and the program's end request.
#pragma once
#include <string>

void RegisterMainWindowClass();
// Creates the hidden main window into MainWindow.
void CreateMainWindow();
// The start-up after the window: paths, icon, drives, settings, images,
// hotkeys and language.
void InitApp();
// The shutdown: saves the settings and frees what the units made; nothing in
// command-line mode, where the process end releases everything.
void DestroyApp();
// Idle priority for the process and its thread.
void SetLowPriority();
// Sends WM_DESTROY to the main window: the shutdown sequence has run and
// WM_QUIT is posted when this returns.
void EndProgram();
// Modal error box titled "Error".
void ShowError(const std::string& text);
