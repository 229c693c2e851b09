#include "GlobalParams.h"

uint8_t MusicOn = 0;
uint8_t ReservedByte = 0;
uint8_t SubtitlesOn = 0;
int32_t SubtitleSpeed = 0;
uint8_t SpeechOn = 0;
uint8_t FullScreen = 0;
uint8_t NebulaNames = 0;

// The key and menu tables and the file arrive with the interface issue; until
// then every switch keeps its built-in default.
void SetKeyTableDefaults() {}
void SetMenuTableDefaults() {}
void ReadParameters() {}
void WriteParameters() {}
