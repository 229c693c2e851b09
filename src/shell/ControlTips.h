// The tips of the panel's controls: what a button does and its key, shown
// when the pointer rests on it.
#pragma once

#include <string>

#include "GlobalParams.h"

// "星名（D）" -- the name of the control sending `command` and the key that
// does the same, in GBK; English "Names (D)" when `english`. "" for a
// command that no control of the panel sends. The key comes from `keys`.
std::string ControlTip(const TKeyTable& keys, int command, bool english);

// Frames the pointer rests on a control before its tip shows.
constexpr int TipDelayFrames = 12;
