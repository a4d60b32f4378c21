// The dialogs' text font: "宋体" of 12 pixels on the dialog and every control in it.
#pragma once

#include <windows.h>

#include "winlayer/gdi_objects.h"

// Creates font (the dialog keeps it as long as its window) and gives it to the dialog and its
// controls.
void ApplyDialogFont(HWND dialog, CFont& font);
