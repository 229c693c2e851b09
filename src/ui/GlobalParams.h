// Program-wide switches of the global parameter file "Config.dat" and the
// key and popup-menu tables kept with them. Every switch defaults to off.
#pragma once

#include <cstdint>

extern uint8_t MusicOn;        // background music
extern uint8_t ReservedByte;   // stored and reloaded only
extern uint8_t SubtitlesOn;    // scroll the information text while the panel is down
extern int32_t SubtitleSpeed;  // 2..18; TextScroll interval = (20 - speed) x 2 frames
extern uint8_t SpeechOn;       // narration switch, stored only
extern uint8_t FullScreen;     // full-screen drawing surface
extern uint8_t NebulaNames;    // names on the pictures of hovered objects

// Defaults of the key and menu tables (run once before any form exists; the
// menu table again right after ReadParameters).
void SetKeyTableDefaults();
void SetMenuTableDefaults();
// Reads "Config.dat" when it exists; writes it from the globals.
void ReadParameters();
void WriteParameters();
