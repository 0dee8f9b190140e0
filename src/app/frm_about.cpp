#include "app/frm_about.h"

// Placeholder until the About box is built.
void ShowAboutBox(HWND) {}
