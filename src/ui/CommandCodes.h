// The command vocabulary: every key, click, menu item and automatic step of
// the planetarium becomes one of these codes, handed to ExecuteCommand. The
// numbers are stored in the interface description, the key table, the popup
// menu table and show scripts, so they never change; these names are for
// the code that sends or serves them.
#pragma once

namespace Cmd {

// Pointer and dialogs.
constexpr int PointerLeft = 0;       // pointer left a repeat region
constexpr int About = 5;             // the about box
constexpr int AzimuthDial = 7;       // turn the view by the azimuth dial
constexpr int AltitudeDial = 8;      // tilt the view by the altitude dial
constexpr int PickConstellation = 9; // the constellation under the pointer
constexpr int TextLineUp = 13;
constexpr int TextLineDown = 14;
constexpr int TextThumbDrag = 22;    // drag of the text scroll thumb

// Layers and language.
constexpr int Language = 101;        // Chinese / English
constexpr int StarNames = 102;       // names layer
constexpr int Settings = 103;        // observation settings dialog
constexpr int AuxLines = 104;        // auxiliary lines layer
constexpr int Ground = 105;          // horizon and ground
constexpr int StarTool = 106;        // the star tool dialog

// The player slot.
constexpr int StepForward = 107;
constexpr int Play = 108;
constexpr int Stop = 109;
constexpr int PlayBackward = 110;
constexpr int StepBackward = 111;

// Turning the view by the rotation step.
constexpr int TurnLeft = 201;        // azimuth up (toward the east looking south)
constexpr int Raise = 202;
constexpr int TurnRight = 203;       // azimuth down
constexpr int Lower = 204;

// The field of view and dragging the sky.
constexpr int ZoomIn = 205;          // narrower field about the centre
constexpr int ZoomOut = 206;         // wider field about the centre
constexpr int ZoomInAtPointer = 207; // narrower field, the sky under the pointer held
constexpr int ZoomOutAtPointer = 208;
constexpr int SkyDrag = 209;         // the view turns so the grabbed sky stays under the pointer

// Program.
constexpr int Help = 301;
constexpr int Minimize = 302;
constexpr int Quit = 303;
constexpr int PanelToggle = 304;     // slide the lower panel down or up

// Automatic steps.
constexpr int TimeStep = 1001;       // one step of time flow
constexpr int GoToStep = 1002;       // one step of the go-to (the player's lead command)
constexpr int GoToCarryOn = 1003;    // the player carries on
constexpr int PlayerDone = 1004;     // the player has finished
constexpr int PanelSlideDown = 1010;
constexpr int PanelSlideUp = 1011;
constexpr int TextScrollTick = 1012; // one pixel of smooth subtitle scroll

// Popup menu switches of the selected constellation.
constexpr int MenuSeparator = 1000;  // no effect
constexpr int ConstStarNames = 1201;
constexpr int ConstLines = 1202;
constexpr int ConstGreekNames = 1203;
constexpr int ConstNebulaNames = 1204; // no effect
constexpr int ConstBoundary = 1205;
constexpr int Deselect = 1206;
constexpr int ConstHighlight = 1207;

// Program-wide sky switches (kept with the per-user settings).
constexpr int LabelPlacement = 1301; // labels placed so that none overlap
constexpr int RealisticSky = 1302;   // sky colour, twilight and fading by the Sun
constexpr int Refraction = 1303;     // the atmosphere lifts what is near the horizon
constexpr int MilkyWay = 1304;       // the Milky Way's light under the stars

constexpr int Music = 2001;          // switch the background music
constexpr int ShowStep = 3002;       // one step of the show player

}  // namespace Cmd
