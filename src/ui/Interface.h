// The on-screen interface: sections (screen rectangles of a scene) and active
// regions (rectangles inside a section with a picture, a behaviour type and
// a command code), read from the interface description "资源文件/界面描述2.txt"
// or its compiled tables, and the region machine that turns pointer events
// into interface events and commands.
//
// The machine here only decides: each pointer step returns the interface
// event it caused (a TRegionAction). The main form's ApplyRegionEvent plays
// the sounds, changes the looks and executes the commands.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "FileIo.h"
#include "ShortString.h"

struct TSection {
  int32_t X = 0, Y = 0, Width = 0, Height = 0;  // screen pixels
  int32_t Kind = 0;       // stored only
  int32_t Command = 0;    // stored only (sections are never executed)
  bool Visible = false;   // stored only
  ShortString Name;       // stored only
  int32_t Priority = 0;   // smaller wins where sections overlap
  int32_t Scene = 0;      // the scene the section belongs to
  int32_t Reserved = 0;
  int32_t State = 0;
};

// Region behaviour types.
namespace RegionType {
constexpr int Push = 1;        // command on release inside the region
constexpr int Toggle = 2;      // command on press; the on look flips
constexpr int HoverRepeat = 4; // command on entry, then every Interval frames
constexpr int HoldRepeat = 5;  // command on press, then every Interval frames while held
constexpr int Press = 6;       // command once on press
constexpr int Drag = 9;        // Command + 1 on each move while held, Command + 2 on release
}  // namespace RegionType

// Region look bits (State).
namespace RegionLook {
constexpr int Highlighted = 1;  // under the pointer
constexpr int On = 2;           // pressed, or a toggle that is on
}  // namespace RegionLook

// The compiled record is written field by field at its own offsets, so the
// rectangle can come first here.
struct TRegion {
  int32_t X = 0, Y = 0, Width = 0, Height = 0;  // relative to the section's X, Y
  int32_t Reserved0 = 0;
  int32_t Command = 0;
  int32_t Type = 0;       // RegionType; other values are inert
  int32_t State = 0;      // RegionLook bits
  int32_t Reserved2 = 0;
  int32_t Section = 0;    // the section holding the region
  int32_t Priority = 0;   // smaller wins where regions overlap
  bool Visible = false;   // only visible regions are drawn
  ShortString Image;      // picture in "LoadImg.rxf"
  int32_t Interval = 1;   // repeat period in frames (types 4 and 5), at least 1
};

constexpr int MaxSections = 30;
constexpr int MaxRegions = 40;
constexpr int WellKnownCount = 10;

// Interface events (TRegionAction::Event).
namespace RegionEvent {
constexpr int None = 0;
constexpr int PushPressed = 2;
constexpr int Execute = 101;     // execute the action's Command
constexpr int Entered = 102;     // the pointer entered a region
constexpr int LeftRepeat = 103;  // the pointer left (or released) a repeat region
constexpr int ToggleOn = 104;    // a toggle pressed while off
constexpr int ToggleOff = 105;   // a toggle pressed while on
}  // namespace RegionEvent

// Pointer state of the region machine (all zero at start).
struct TPointerState {
  int Section = 0;        // section under the pointer
  int Region = 0;         // region under the pointer
  int PreviousRegion = 0; // region under the pointer before the last event
  int Captured = 0;       // region pressed and not yet released
  int X = 0, Y = 0;       // pointer, stage pixels
  int PreviousX = 0, PreviousY = 0;
  int Button = 0;         // of the last press or release: 0 left, 1 right, 2 middle
  int MouseState = 0;     // 1 held, 2 released, 0 during a release
  int Dragging = 0;       // 1 while a drag region is being dragged
};

// The file names, relative to the program folder (description) and to the
// cache folder (compiled tables).
inline constexpr const char* InterfaceDescriptionFile = "资源文件/界面描述2.txt";
inline constexpr const char* SceneFile = "Scene.dat";
inline constexpr const char* SectionFile = "Section.dat";
inline constexpr const char* ActiveFile = "Active.dat";
// Record sizes of the compiled tables.
constexpr size_t SceneRecordSize = 524, SectionRecordSize = 300, RegionRecordSize = 564;

// The folder of the compiled tables: $XDG_CACHE_HOME/skyloom when that is an
// absolute path, else $HOME/.cache/skyloom; empty when neither is known.
std::string CompiledTablesFolder();

// Decodes one SECT or BUTN line (GBK bytes, no line end) into a record. On
// failure `column` is the 1-based first column of the bad field.
bool ParseSectionLine(std::string_view line, TSection& out, int& column);
bool ParseRegionLine(std::string_view line, TRegion& out, int& column);

// Record images of the compiled tables, each field at its fixed byte offset
// (little-endian; the offsets are written out in Interface.cpp).
void EncodeSection(const TSection& s, std::span<uint8_t, SectionRecordSize> out);
TSection DecodeSection(std::span<const uint8_t, SectionRecordSize> in);
void EncodeRegion(const TRegion& r, std::span<uint8_t, RegionRecordSize> out);
TRegion DecodeRegion(std::span<const uint8_t, RegionRecordSize> in);

// Where the interface lands on a stage of any pixel size. The sections and
// regions keep their coordinates in units of an 800x600 frame; the stage
// shows that frame at `Scale` pixels per unit, its bottom edge on the
// stage's bottom edge and centred across. An edge lying on the frame's
// border (0 or 800 across, 0 or 600 down) sticks to the stage's own border,
// so that the sky section fills the stage above the panel and the panel's
// section spans the stage's width. Drawing and hit-testing both map here.
// The stage sizes the program draws at, in pixels.
constexpr int MinStageWidth = 800, MinStageHeight = 600;
constexpr int MaxStageWidth = 3840, MaxStageHeight = 2160;

struct TStageLayout {
  int Width = 800, Height = 600;  // stage pixels
  double Scale = 1.0;             // pixels per unit
  int OriginX() const { return (Width - Round(800 * Scale)) / 2; }
  int OriginY() const { return Height - Round(600 * Scale); }
  // The stage pixel of a frame unit.
  int X(int unitX) const { return OriginX() + Round(unitX * Scale); }
  int Y(int unitY) const { return OriginY() + Round(unitY * Scale); }
  // A frame edge in stage pixels, sticking to the stage's border.
  int EdgeX(int unitX) const { return unitX == 0 ? 0 : unitX == 800 ? Width : X(unitX); }
  int EdgeY(int unitY) const { return unitY == 0 ? 0 : unitY == 600 ? Height : Y(unitY); }
  // A length of frame units in pixels.
  int Length(int units) const { return Round(units * Scale); }
  static int Round(double v) { return static_cast<int>(v < 0 ? v - 0.5 : v + 0.5); }
};

// The interface scale, pixels per frame unit. Automatic: the largest step
// at which the whole 800x600 frame fits the stage (1280x800 gives 1.25,
// 1920x1080 1.75, 3840x2160 3). A scale asked for (the --scale option or
// the setting; 0 asks for the automatic one) is taken within 1..3, but
// never larger than the automatic one, so that the panel always fits.
constexpr double InterfaceScaleSteps[] = {1, 1.25, 1.5, 1.75, 2, 2.5, 3};
constexpr double MinInterfaceScale = 1, MaxInterfaceScale = 3;
double AutoInterfaceScale(int stageWidth, int stageHeight);
double InterfaceScaleFor(int stageWidth, int stageHeight, double asked);

// What one pointer step of the region machine asks for: an interface event
// and, for Execute and the toggles, the command it carries.
struct TRegionAction {
  int Event = RegionEvent::None;  // RegionEvent
  int Command = 0;
};

// The interface of one stage: its tables (sections and regions of the
// scenes, read from the description or its compiled copy), the well-known
// regions of the current scene and the pointer state of the region machine.
// A new object is empty (no scene, no sections, no regions).
class TInterface {
 public:
  int CurrentScene = 0;
  TSection Sections[MaxSections + 1];   // 1..30
  TRegion Regions[MaxRegions + 1];      // 1..40
  // Region numbers of the well-known entries of the current scene: 0 -> 5,
  // 1 azimuth dial 17, 2 altitude dial 18, 3 text region 20, 4 scroll up 25,
  // 5 scroll down 26, 6 show bar 21, 7 thumb 27, 8 language 6, 9 horizon 9.
  int WellKnown[WellKnownCount] = {};
  TPointerState Pointer;

  // Reads the description (GBK, fixed columns) into the tables. A bad number
  // or a 31st SECT/BUTN line is reported on stderr with file, line and column;
  // the slot of a bad line stays empty and reading goes on. Writes the compiled
  // tables into `cacheFolder` (when not empty) after a read without faults.
  // False when the file is missing or unreadable (the tables are then untouched).
  bool ReadInterfaceDescription(const std::string& fileName, const std::string& cacheFolder);
  // The same with the program's file and cache folder.
  bool ReadInterfaceDescription();

  // Compiled tables: "Scene.dat" (2 zero records), "Section.dat" and
  // "Active.dat" (slots 1..30 and 1..40). Writes go through a temporary file; the fault
  // names the file that could not be written (no fault: all three were).
  TFileError WriteCompiledTables(const std::string& folder) const;
  // Reads them when all three files exist: consecutive slots from 1, as many
  // whole records as each file holds (at most 30); slots beyond stay as they
  // were. A file with a partial last record is reported and its whole records
  // kept. False when not all three exist.
  // Only a copy this user made is read: the folder and files owned by the
  // user, writable by nobody else, no links, and (when `source` names the
  // description) not older than it. Every record is range-checked before any
  // is taken; a copy that fails is reported and nothing of it is used.
  bool ReadCompiledTables(const std::string& folder, const std::string& source = "");
  // From the cache folder; the program reads them only when the description
  // itself is missing (the text is the master copy).
  bool ReadCompiledTables();

  // Without description and compiled copy: the sky area and the lower panel
  // as two bare sections of scene 1 (no controls), so the frame still draws.
  void SetBareSections();

  // Fills the well-known region table of a scene.
  void FillWellKnownRegions(int scene);
  // The region of a well-known entry (a spare empty region for none).
  TRegion& WellKnownRegion(int entry);
  // A region slot in 1..40, or a spare empty region (looks changed there are
  // lost), so that a bad slot number from a table changes no region.
  TRegion& RegionAt(int slot);

  // Stage pixel of a region's top left corner (its section's origin added).
  int RegionScreenX(int region, const TStageLayout& layout = {}) const;
  int RegionScreenY(int region, const TStageLayout& layout = {}) const;

  // The region machine, on the pointer state: each step updates the
  // pointer state and returns the event it caused. (x, y) are stage pixels.
  TRegionAction HitTestRegions(int x, int y, const TStageLayout& layout = {});
  TRegionAction PressRegion();
  TRegionAction ReleaseRegion();
  TRegionAction DragRegionMove();
  TRegionAction DragRegionEnd();

 private:
  // The region of a slot, slot 0's empty record for any other number.
  const TRegion& Slot(int region) const;
  bool RegionContains(int region, int x, int y, const TStageLayout& m) const;
  // Handed out for a slot or entry that names no region; emptied each time.
  TRegion SpareRegion;
};
