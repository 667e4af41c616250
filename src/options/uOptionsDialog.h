// The three-page options property sheet.
#pragma once

bool ShowOptions();
