#include "DialogEntry.h"

// Until the dialogs are built the entries close at once with no answer.
void RunAboutDialog(TFormSky&) {}
bool RunConfigDialog(TFormSky&) { return false; }
void RunHelpDialog(TFormSky&) {}
TStarToolAnswer RunStarToolDialog(TFormSky&, const std::function<void(int)>&) { return {}; }
