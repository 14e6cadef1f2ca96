#pragma once
// Dialog mode: initialises rich edit and runs the main dialog modally with no parent window.
// False when the dialog could not be created (no window station, a missing template).
bool UseRunDialogMode();
