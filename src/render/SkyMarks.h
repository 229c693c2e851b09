// The mark tables of the current show page and the popup-menu switches: what
// a show or the user turned on for single objects on top of the display
// switches. Owned by the main form; read by the sky drawing. Everything is
// empty and off until a show page or a popup command sets it.
//
// The records keep the byte layout they have in a show frame, so a show page
// can be copied into them field by field.
#pragma once

#include <cstdint>

#include "ShortString.h"
#include "Table.h"

// One highlighted object (24 bytes): a constellation 1..100, or an asterism
// as its number + 200. Each switch is on when above 0.
struct THighlight {
  int32_t Object = 0;
  int32_t ShowName = 0;       // its name label
  int32_t ShowLines = 0;      // its figure lines
  int32_t ShowStarNames = 0;  // the proper names of its bright stars
  int32_t ShowGreek = 0;      // the Greek letters of its stars
  int32_t Reserved = 0;
};

// One marked star (532 bytes); each switch is on when above 0.
struct TStarMark {
  int32_t Star = 0;           // star number 1..StarCount
  int32_t Circle = 0;         // a ring around the star
  int32_t Note = 0;           // the entry's own text below right of the star
  int32_t Name = 0;           // "<constellation> - <Greek letter>" above right
  int32_t Reserved0 = 0;
  ShortString Text;           // GBK note text
  uint8_t Reserved1[256] = {};
};

// One marked line between two stars (12 bytes), drawn from StarB to StarA.
struct TLineMark {
  int32_t StarA = 0;
  int32_t StarB = 0;
  uint32_t Color = 0;         // TColor, $00BBGGRR
};

// One named area (340 bytes): its name is written at the mean screen
// position of its member stars that are in front of the viewer.
struct TAreaMark {
  int32_t Stars[20] = {};
  int32_t Count = 0;          // members used, 0..20
  ShortString Name;           // GBK
};

static_assert(sizeof(THighlight) == 24);
static_assert(sizeof(TStarMark) == 532);
static_assert(sizeof(TLineMark) == 12);
static_assert(sizeof(TAreaMark) == 340);

constexpr int MaxHighlights = 20, MaxStarMarks = 50, MaxLineMarks = 50, MaxAreaMarks = 20;

// The four tables with their counts; entries 1..count are in use. A count
// outside 0..capacity (from a damaged show file) is read as clamped.
struct TSkyMarks {
  Table1<THighlight, MaxHighlights> Highlights;
  int32_t HighlightCount = 0;
  Table1<TStarMark, MaxStarMarks> StarMarks;
  int32_t StarMarkCount = 0;
  Table1<TLineMark, MaxLineMarks> LineMarks;
  int32_t LineMarkCount = 0;
  Table1<TAreaMark, MaxAreaMarks> AreaMarks;
  int32_t AreaMarkCount = 0;

  // Empties all four tables (counts to 0).
  void Clear() { HighlightCount = StarMarkCount = LineMarkCount = AreaMarkCount = 0; }
};

// Entries in use of a table with capacity `capacity`: count clamped to 0..capacity.
constexpr int UsedEntries(int32_t count, int capacity) {
  return count < 0 ? 0 : (count > capacity ? capacity : count);
}

// Kinds of highlight asked by the drawing.
namespace HighlightKind {
constexpr int Lines = 1, Greek = 2, Name = 3, StarNames = 4, Office = 5;
}

// True when a used Highlights entry names `number` with the switch of `kind`
// above 0 (kinds 1..4: lines, Greek letters, name, star names). For kind 5
// `number` is an asterism 1..400 and any entry naming number + 200 counts,
// whatever its switches.
bool IsHighlighted(const TSkyMarks& marks, int kind, int number);

// The popup menu's check items for the selected constellation (all off at start).
struct TPopupSwitches {
  bool ConstellationHighlight = false;   // all of it: name, star names, Greek letters, figure, outline
  bool ConstellationLines = false;       // its figure lines
  bool ConstellationStarNames = false;   // shown as a check mark only
  bool ConstellationGreekNames = false;  // its stars' Greek letters
  bool ConstellationBoundary = false;    // its boundary outline
};
