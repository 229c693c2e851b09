// The characters the dialogs can show, for the font of the ImGui overlay
// (its atlas is made once, with every character it will ever draw).
#pragma once

#include <string>

class TSkyloom;

// Every character the dialogs can show (their captions, the city table, the
// manual, the star tool's texts), as UTF-8 text.
std::string DialogGlyphs(TSkyloom& sky);
// The characters the star tool shows: its captions, every object name and
// the titles and descriptions of the shows in the show folder (UTF-8).
std::string StarToolGlyphs(TSkyloom& sky);
