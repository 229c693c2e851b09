// A structural check of a standard MIDI file before it is handed to the
// synthesiser: a damaged or empty piece must never reach it (some damaged
// files make the synthesiser spin for ever). The piece must parse cleanly
// and play at least one note.
#pragma once

#include <string>
#include <vector>

struct TMidiSummary {
  int Format = 0;
  int Tracks = 0;
  int Division = 0;      // ticks per quarter note (SMPTE divisions are refused)
  long NoteOns = 0;      // note-on events with a velocity above 0
  long LongestTrack = 0; // ticks
};

// Checks the bytes of a file; false with a message naming the fault.
bool CheckMidi(const std::vector<unsigned char>& bytes, TMidiSummary& summary, std::string& error);
// Reads `path` (a regular file of at most 8 MiB, never blocking) and checks
// it; false with the reason alone in `error` (the caller names the file).
bool CheckMidiFile(const std::string& path, TMidiSummary& summary, std::string& error);
