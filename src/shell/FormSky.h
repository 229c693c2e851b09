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
#include "ImGuiHost.h"
#include "ImageList.h"
#include "InfoText.h"
#include "Input.h"
#include "Lecture.h"
#include "Panel.h"
#include "Screen.h"
#include "SkyDraw.h"
#include "Sound.h"

class TFormLogo;
class TLabelPass;

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

  // The one entry point of every action; always returns true. Each family
  // of codes has its own handler (Commands*.cpp); each returns false for a
  // code that is not its own.
  bool ExecuteCommand(int code);
  // The picture may have changed: the next tick draws and presents. Every
  // command, pointer and window event calls it; so must anything that
  // changes what DrawFrame draws without a command (a look that animates).
  void Invalidate() { PictureStale = true; }
  bool ViewCommand(int code);     // 7, 8, 9, 101..105, 201..204
  bool PanelCommand(int code);    // 0, 304, 1010, 1011
  bool TextCommand(int code);     // 13, 14, 22, 1012
  bool PlayerCommand(int code);   // 106..111, 1001..1004, 3002
  bool PopupCommand(int code);    // 1201..1207
  bool ProgramCommand(int code);  // 5, 301..303, 1301, 1302, 2001

  // Go-to, time flow, picking and the layer buttons (GoTo.cpp).
  void StepTime();
  void StepGoTo();
  void GoToTarget(int code, bool animate);
  void SyncLayerButtons(int mode);
  // The one rule for the switch buttons' on look (星名, 辅助线, 地平线, 中/英,
  // 标签避让, 真实天空): on while what they switch is on as drawn. Applied
  // before each frame is drawn.
  bool SwitchIsOn(int command) const;
  void SyncSwitchLooks();
  // Constellation picking at the pointer (x, y) with the button of the last
  // press or release (0 left, 1 right, 2 middle).
  void PickConstellation(int x, int y, int button);
  // The target direction of an object number, in the horizon frame
  // (TrackX, TrackY, TrackZ), for the clock and place of the last update.
  void AimAt(int code);
  // Starts the view travelling to an object at once (the star tool's
  // "自动找到：", the command line's --goto, the script step goto).
  void StartGoTo(int code);
  // Runs the started trip to its end without drawing (for one picture).
  void FinishGoTo();
  // Loads a show ("冬季星空.shw") from the show folder and starts it as the
  // star tool's choice does, playing on at once when `play`. A missing file
  // changes nothing; a damaged one is reported on stderr. True when the
  // show's pages were loaded.
  bool PlayShowFile(const std::string& fileName, bool play);

  // The information text from the selection or the show page
  // (CommandsText.cpp).
  void RefreshInfoText();
  void DrawFrame();
  void SwitchMusic();
  void SetCursor(int number);

  // Pointer and keys (Input.cpp). Buttons: 0 left, 1 right, 2 middle;
  // positions in stage pixels; `key` a Windows virtual-key code.
  void FormMouseDown(int button, int shift, int x, int y);
  void FormMouseMove(int shift, int x, int y);
  void FormMouseUp(int button, int shift, int x, int y);
  void FormKeyDown(int key, int shift);
  // The wheel turned by `notches` (up positive) at the pointer.
  void FormMouseWheel(int notches);
  // The hover code at (x, y): 0 none, 1..100 a deep-sky object, 201..210 a
  // solar-system body.
  int ObjectAt(int x, int y) const;
  // Turns the pending interface event into sounds, looks and commands.
  void ApplyRegionEvent();
  // The popup menu from MenuTable (each switch starts as its item's check
  // mark shows), a click on item `tag`, and its drawing in the overlay.
  void BuildPopupMenu();
  void PopupItemClick(int tag);
  void DrawPopupMenu();
  // Whether item `tag` shows a check mark: the switch itself for the
  // constellation switches, else the item's own mark.
  bool PopupItemChecked(int tag) const;
  void PlaySound(const char* name);

  // The ImGui part of a frame: the popup menu and the open dialog.
  void DrawOverlay();
  // Starts the ImGui host with every interface text's characters in its font.
  void StartImGui();

  // Components.
  TDXDraw DXDraw;
  TDXImageList DXImageList;   // "LoadImg.rxf"
  TDXImageList DXImageList1;  // "Messia2.rxf"
  TDXWaveList DXWaveList1;
  TDXInput DXInput1;
  TMediaPlayer MediaPlayer1;
  TCursors Cursors;
  // Dear ImGui over the stage: the popup menu and the dialogs. Started by the
  // first frame (after the window is or is not opened).
  TImGuiHost ImGuiHost;
  // The open dialog's ImGui view, drawn on top in every frame while set.
  std::function<void()> DialogView;
  // One pass of whatever drives the program (the message loop or a script):
  // a modal dialog's nested loop calls it until the dialog closes. False
  // when the program cannot go on (the window closed, the script ended).
  std::function<bool()> NextFrame;
  int ModalDepth = 0;            // dialogs open one over the other
  // The dialogs with their state between showings (made at the first).
  std::shared_ptr<struct TDialogSet> Dialogs;
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
  int OverlayFrames = 0;  // frames still to draw for the ImGui overlay
  bool SkyStale = false, PopupPending = false, ViewLocked = false, Playing = false;
  int PlayDirection = 0, PlayMode = 0, TargetCode = 0;
  int HoverObject = 0, HoverX = 0, HoverY = 0;
  int PanelState = 1;
  bool TextShown = false;
  TInfoText Info;             // the information text: title, lines, scrolling
  int GoToSteps = 0;          // steps of the running go-to (bounded)
  TColor BackgroundColor = clBlack;
  TSkyMarks Marks;            // mark tables of the current show page
  TPopupSwitches Popup;       // check marks of the popup menu
  // The items of the popup menu, in menu order.
  struct TPopupItem {
    int Tag = 0;                // the MenuTable entry
    bool Separator = false;
    bool Checked = false;
    std::string Label;          // UTF-8 caption with its ImGui id
    std::string EnglishLabel;   // the same in English mode
  };
  std::vector<TPopupItem> PopupMenu1;
  // Work strings of the panel drawing, kept from frame to frame.
  std::string PanelScratch, StatusScratch, EnglishStatus;
  // The panel's still layer (background, story panel, buttons), drawn again
  // only when something it shows has changed.
  TPanelLayer PanelLayer;
  // The label placement pass of the sky drawing, made once (its fixed
  // tables are too large to build on the stack every frame).
  std::unique_ptr<TLabelPass> Labels;

  // "Now" at start and the random seed: fixed for reproducible runs.
  bool FixedNow = false;
  TCivilNow Now{};
  std::optional<uint32_t> FixedSeed;
  // Lines shown in a message box over the first frames (a name on the
  // command line that names nothing), then cleared.
  std::vector<std::string> StartMessage;
  // The control the pointer rests on and for how many frames: its tip shows
  // from TipDelayFrames on.
  int TipRegion = 0, TipFrames = 0;
  // Frames a line of a show page's text is read in before the next scrolls
  // up (4 s), and the frames the current line has been shown.
  static constexpr int ReadFramesPerLine = 120;
  int ReadFrames = 0;
  std::string TipText;  // kept between frames: drawing it allocates nothing
  void FollowTip();
  void DrawTip();

  // Every executed code, when logging is on (tests and scripts read it).
  bool LogCommands = false;
  std::vector<int> CommandLog;
  std::vector<std::string> SoundLog;  // sounds played, when logging is on
};

extern TFormSky* FormSky;
