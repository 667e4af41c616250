#include "uSettings.h"

bool Autostart;
bool HideIcon;
bool AutoClose;
bool ShowCloseDialog;
int CloseInterval;
bool ConfigurationLoaded;

// Placeholder until its issue lands: keeps the program starting, looping and ending.
void LoadSettings() {}
void SaveSettings() {}
void LoadConfiguration() {}
void SaveConfiguration() {}
void SetAutostart(bool) {}
