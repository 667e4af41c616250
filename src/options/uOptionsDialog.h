// The three-page options property sheet.
#pragma once

// Shows the modal sheet, or brings forward the one already open; true when
// the sheet ended with changes applied.
bool ShowOptions();
