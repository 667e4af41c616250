#include "uOptionsDialog.h"

// Placeholder until its issue lands: keeps the program starting, looping and ending.
bool ShowOptions() { return false; }
