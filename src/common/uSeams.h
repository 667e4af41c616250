// The few places where the program would move hardware, start another
// program or block on a modal box. The program links the Win32 versions
// (uSeams.cpp); the tests link doubles that record the calls instead.
#pragma once
#include <windows.h>
#include <initializer_list>
#include <string>

// Opens the volume device (\\.\X:) once and sends the control codes in turn,
// without buffers, until the device accepts one; true when one was accepted.
bool SeamDeviceRequest(const char* devicePath, std::initializer_list<DWORD> controlCodes);

// Asks the CD-audio device of the drive (X:) for its track count and media
// identity. False when the device cannot be opened; tracks is then 0 and
// identity empty. A failing item leaves 0 tracks or an empty identity.
bool SeamQueryAudioCD(const char* elementName, int& tracks, std::string& identity);

// ShellExecuteA.
INT_PTR SeamShellExecute(HWND owner, const char* verb, const char* file, const char* params,
                         const char* directory, int showCommand);

// HtmlHelpA with HH_DISPLAY_TOPIC.
void SeamShowHelpTopic(HWND owner, const char* helpFile, const char* topic);

// MessageBoxA.
int SeamMessageBox(HWND owner, const char* text, const char* caption, UINT type);
