#include "Interface.h"

int CurrentScene = 0;
TSection Sections[MaxSections + 1];
TRegion Regions[MaxRegions + 1];
int WellKnown[WellKnownCount + 1];

namespace {
TRegion SpareRegion;
}

// The lower panel is section 2, below the 432-pixel sky area of the
// 800x600 window; the interface description fills the rest.
void ReadInterfaceDescription() {
  Sections[1] = {0, 0, 800, 432};
  Sections[2] = {0, 432, 800, 168};
}

void ReadCompiledTables() {}

void FillWellKnownRegions(int scene) {
  (void)scene;
  for (int& w : WellKnown) w = 0;
}

TRegion& WellKnownRegion(int entry) {
  if (entry >= 1 && entry <= WellKnownCount) {
    int r = WellKnown[entry];
    if (r >= 1 && r <= MaxRegions) return Regions[r];
  }
  SpareRegion = TRegion{};
  return SpareRegion;
}
