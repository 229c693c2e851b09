// TFormSky: the main form. It owns the drawing surface, the image lists,
// sounds, keyboard, music player and cursors, the automatic command slots'
// owner state, and runs the 33 ms frame handler that drives everything:
// keys -> view commands -> automatic slots -> sky update -> draw -> flip.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AutoCommand.h"
#include "Canvas.h"
#include "FrameLoop.h"
#include "ImageList.h"
#include "Input.h"
#include "Screen.h"
#include "SkyDraw.h"
#include "Sound.h"

class TFormLogo;

// Where the 800x600 window goes on a desktop: false when the desktop is too
// narrow (string 18); at (0, 0) on a desktop exactly 800 wide, else centred.
bool PlaceMainWindow(int desktopWidth, int desktopHeight, int& left, int& top);

struct TCivilNow {
  int Year, Month, Day, Hour, Minute;
};
// Today's local date and clock time.
TCivilNow LocalNow();

class TFormSky {
 public:
  TFormSky();
  ~TFormSky();

  // Form events, in the order the application calls them.
  void FormCreate();
  void FormShow();
  void FormDestroy();
  void DXDrawInitialize() { DXTimer1Enabled = true; }
  void DXDrawFinalize() { DXTimer1Enabled = false; }
  void DXTimer1Timer();
  void MediaPlayer1Notify();
  void ApplicationDeactivate();
  void ApplicationActivate();

  // The one entry point of every action; always returns true.
  bool ExecuteCommand(int code);
  // The picture may have changed: the next tick draws and presents. Every
  // command, pointer and window event calls it; so must anything that
  // changes what DrawFrame draws without a command (a look that animates).
  void Invalidate() { PictureStale = true; }
  void DrawFrame();
  void SwitchMusic();
  void SetCursor(int number);

  // Components.
  TDXDraw DXDraw;
  TDXImageList DXImageList;   // "LoadImg.rxf"
  TDXImageList DXImageList1;  // "Messia2.rxf"
  TDXWaveList DXWaveList1;
  TDXInput DXInput1;
  TMediaPlayer MediaPlayer1;
  TCursors Cursors;
  bool DXTimer1Enabled = false;
  TFrameLoop Loop;            // the one frame step (window, script, one picture, modal dialogs)
  TFormLogo* Logo = nullptr;  // the splash window, closed by the first frame

  // Window placement and application state.
  int Left = 0, Top = 0, Width = 800, Height = 600;
  bool Terminated = false;       // the application was asked to end
  bool ApplicationActive = true;
  bool Minimized = false;
  bool Windowed = true;          // false in full screen
  int CursorNumber = 0;

  // Form fields.
  int SkyHeight = 432;
  bool SplashPending = false;
  int Language = 0;
  int LineHeight = 16;
  int TextLayout[9] = {};
  // A tick draws and presents only when the picture can have changed since
  // the last present (or an overlay shows, or DrawEveryFrame is set);
  // otherwise the window keeps showing the last frame, which is exactly
  // what a redraw would give.
  bool PictureStale = true;
  bool DrawEveryFrame = false;
  bool SkyStale = false, PopupPending = false, ViewLocked = false, Playing = false;
  int PlayDirection = 0, PlayMode = 0, TargetCode = 0;
  int HoverObject = 0, HoverX = 0, HoverY = 0;
  int PanelState = 1;
  bool TextShown = false;
  TColor BackgroundColor = clBlack;
  TSkyMarks Marks;            // mark tables of the current show page
  TPopupSwitches Popup;       // check marks of the popup menu

  // "Now" at start and the random seed: fixed for reproducible runs.
  bool FixedNow = false;
  TCivilNow Now{};
  std::optional<uint32_t> FixedSeed;

  // Every executed code, when logging is on (tests and scripts read it).
  bool LogCommands = false;
  std::vector<int> CommandLog;
};

extern TFormSky* FormSky;
