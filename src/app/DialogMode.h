#pragma once
// Dialog mode: initialises rich edit and runs the main dialog modally with no parent window.
void UseRunDialogMode();
