// The on-screen interface: sections and regions of the current scene, read
// from the interface description and its compiled tables.
#pragma once

#include <string>

struct TSection {
  int X = 0, Y = 0, Width = 0, Height = 0;
};

struct TRegion {
  int X = 0, Y = 0, Width = 0, Height = 0;
  int Section = 0;
  int Type = 0;      // 2 = toggle
  int State = 0;     // bit 1 under the pointer, bit 2 on
  int Visible = 0;
  std::string Image;
  int Command = 0;
};

constexpr int MaxSections = 30;
constexpr int MaxRegions = 30;
constexpr int WellKnownCount = 30;

extern int CurrentScene;
extern TSection Sections[MaxSections + 1];   // 1..30
extern TRegion Regions[MaxRegions + 1];      // 1..30
// Region numbers of the well-known entries (1 azimuth dial, 2 altitude dial,
// 3 text region, 6 show bar, 9 horizon switch, ...); 0 = none.
extern int WellKnown[WellKnownCount + 1];

// Reads ".\资源文件\界面描述2.txt" and writes its compiled tables.
void ReadInterfaceDescription();
// Reads the compiled tables "Scene.dat", "Section.dat", "Active.dat".
void ReadCompiledTables();
// Fills the well-known region table of a scene.
void FillWellKnownRegions(int scene);
// The region of a well-known entry (a spare empty region for none).
TRegion& WellKnownRegion(int entry);
