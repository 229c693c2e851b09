// The automatic command slots the frame serves (members of the view state):
// HoverRepeat (hover repeat and panel slide), TextScroll (information text)
// and Player (shows, go-to and time flow).
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct TAutoCommand {
  bool Active = false;
  int Kind = 0;       // HoverRepeat: 1 repeat, 2 panel slide; Player: 1 time flow, 2 go-to/show
  int Command = 0;    // dispatched when Counter reaches a multiple of Interval
  int Counter = 0;    // frames counted since the slot started
  int Interval = 1;   // at least 1

  // Counts one frame; true when the slot's command is due.
  bool Tick() {
    ++Counter;
    return Counter % (Interval < 1 ? 1 : Interval) == 0;
  }
};

// One step of the go-to history: place, clock and view.
struct TViewRecord {
  double Latitude = 0, Longitude = 0;  // radians
  int32_t Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
  double ViewAlt = 0, ViewAz = 0;      // radians
};

constexpr int MaxHistory = 3000;

struct TPlayerSlot : TAutoCommand {
  std::string StatusText;                          // GBK, shown by the status line
  std::array<TViewRecord, MaxHistory + 1> History; // entries 0..3000
  int HistoryIndex = 0;
  int HistoryCount = 0;
  int LeadCommand = 0;                             // above 1000: dispatched before Command
};

