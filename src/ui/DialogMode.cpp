#include "app/DialogMode.h"

// Placeholder until the main dialog lands: dialog mode returns without a window.
void UseRunDialogMode() {}
