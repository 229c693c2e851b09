#include "FormSky.h"

#include "LabelPass.h"

#include "CityTable.h"
#include "ControlTips.h"
#include "DialogEntry.h"
#include "FileIo.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <utility>
#include <sys/stat.h>

#include "FirstRun.h"
#include "FormLogo.h"
#include "Gbk.h"
#include "GlobalParams.h"
#include "CityTable.h"
#include "Interface.h"
#include "Panel.h"
#include "Lecture.h"
#include "PictureWindow.h"
#include "ShowModal.h"
#include "SkyModel.h"
#include "StringTable.h"

TFormSky* FormSky = nullptr;
TAutoCommand HoverRepeat;
TAutoCommand TextScroll;
TPlayerSlot Player;

bool PlaceMainWindow(int desktopWidth, int desktopHeight, int& left, int& top) {
  if (desktopWidth < 800) return false;
  if (desktopWidth == 800) {
    left = 0;
    top = 0;
  } else {
    left = (desktopWidth - 800) / 2;
    top = desktopHeight > 600 ? (desktopHeight - 600) / 2 : 0;
  }
  return true;
}

TCivilNow LocalNow() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min};
}

TFormSky::TFormSky() : DXDraw(800, 600), Labels(std::make_unique<TLabelPass>()) {
  // The form's font: "宋体" at height -14.
  DXDraw.Canvas().Font.Name = LoadStr(22);
  DXDraw.Canvas().Font.Height = -14;
}

TFormSky::~TFormSky() = default;

void TFormSky::FormCreate() {
  // 1. The splash window is already showing (the application shows it
  //    first); seed the random generator.
  SplashPending = true;
  RandomSeed(FixedSeed ? *FixedSeed : static_cast<uint32_t>(std::time(nullptr)));
  // 2. Activation events are routed here by the application.
  // 3. Number parsing uses "." everywhere (the C locale; never changed).
  // 4. Window size and place.
  int dw = 0, dh = 0;
  if (TDXDraw::DesktopSize(dw, dh)) {
    if (!PlaceMainWindow(dw, dh, Left, Top)) {
      ShowMessageWindow(LoadStr(18));
      Terminated = true;
    }
  } else {
    Left = Top = 0;
  }
  Width = 800;
  Height = 600;
  // 5. Layout of the text panel and status line; rotation step.
  SkyHeight = Height - 168;
  Language = 0;
  LineHeight = 16;
  const int layout[9] = {240, 68, 99, 86, std::min(Width / 5, 160), Width / 6, 6, 2, 5};
  std::copy(layout, layout + 9, TextLayout);
  SkyStale = PopupPending = ViewLocked = Playing = false;
  PlayDirection = PlayMode = TargetCode = 0;
  HoverObject = HoverX = HoverY = 0;
  if (SkyModel) SkyModel->TurnStep = 4;
  // 6. Cursors from the program's resources.
  {
    TDXImageList resources;
    if (resources.LoadFromFile("Resource.rxf")) {
      static const char* const names[5] = {"", "UpArrow", "DownArrow", "LeftArrow", "RightArrow"};
      for (int n = 1; n <= 4; ++n) {
        const LibraryImage* img = resources.Image(resources.Find(names[n]));
        if (img && img->FrameCount >= 1)
          Cursors.Register(n, img->FrameWidth, img->FrameHeight, img->Pixels.data(),
                           img->FrameWidth / 2, img->FrameHeight / 2);
      }
    }
  }
  // 7. Image libraries and the two sounds.
  DXImageList.LoadFromFile("LoadImg.rxf");
  DXImageList1.LoadFromFile("Messia2.rxf");
  DXWaveList1.Load({"Choose", "Click"});
  // 8. Interface description, compiled tables, global parameters, popup menu.
  // The compiled copy stands in only for a missing description.
  if (!ReadInterfaceDescription() && !ReadCompiledTables()) {
    std::fprintf(stderr, "skyloom: %s: missing, and no compiled copy; the panel has no controls\n",
                 InterfaceDescriptionFile);
    SetBareSections();
  }
  ReadParameters();
  SetMenuTableDefaults();
  BuildPopupMenu();
  // 9. Star catalogue (and the city names of the status line).
  if (CityCount == 0) LoadCityTable(CityFileName);
  if (SkyModel) SkyModel->LoadStarData();
  // The city table of the settings dialog.
  LoadCityTable(CityFileName);
  // 10. Music.
  MediaPlayer1.FileName = "Music.mid";
  MediaPlayer1.OnNotify = [this] { MediaPlayer1Notify(); };
  // 11. Full screen from the global parameters.
  Windowed = !FullScreen;
  DXDraw.SetFullScreen(FullScreen != 0);
}

void TFormSky::FormShow() {
  // 1. Scene 1 and its well-known regions.
  CurrentScene = 1;
  FillWellKnownRegions(1);
  // 2. No show loaded, no text shown.
  Lecture.Reset();
  Lecture.Attach(SkyModel, &Marks, &Popup);
  TextShown = false;
  // 3. Automatic slots.
  HoverRepeat = TAutoCommand{};
  HoverRepeat.Counter = 0;
  HoverRepeat.Interval = 1;
  HoverRepeat.Kind = 1;
  Player.Counter = 0;
  Player.Command = 1001;
  Player.Interval = 1;
  Player.Kind = 1;
  Player.StatusText = LoadStr(17);
  PanelState = 1;
  TextScroll.Interval = (20 - SubtitleSpeed) * 2;
  TextScroll.Command = 1012;
  ViewLocked = false;
  // 4. Ground only; horizon switch shown on; sky area and scale.
  TSkyloom& sky = *SkyModel;
  sky.ShowFlags = SkyBits::Ground;
  sky.GroundOn = 1;
  WellKnownRegion(9).State |= 2;
  sky.ScreenWidth = Width;
  sky.ScreenHeight = SkyHeight;
  sky.Scale = Width * 2 / 3;
  // 5. Saved place, today's date and clock.
  const bool firstRun = !HasSavedSettings();
  if (firstRun) ApplyFirstRunDefaults(sky, SystemZoneHours(), SystemZoneName());
  sky.LoadSettings();
  TCivilNow now = FixedNow ? Now : LocalNow();
  sky.Year = now.Year;
  sky.Month = now.Month;
  sky.Day = now.Day;
  sky.Hour = now.Hour;
  sky.Minute = now.Minute;
  // A first start in class hours shows tonight's sky and says so; a time
  // asked for on the command line stays.
  if (firstRun && !FixedNow && StartAtNightfall(sky)) Player.StatusText = LoadStr(StrNightfall);
  if (sky.NamesOn) Regions[7].State |= 2;
  if (sky.LinesOn) Regions[10].State |= 2;
  // 6.
  SkyStale = true;
}

void TFormSky::FormDestroy() {
  // The sounds and the music go before the audio device closes.
  DXWaveList1.Free();
  MediaPlayer1.Close();
  CloseAudio();
}

void TFormSky::DXTimer1Timer() {
  // 1.
  if (!DXDraw.CanDraw()) return;
  // 2. The first frame closes the splash and starts the music.
  if (SplashPending) {
    SplashPending = false;
    if (Logo) Logo->Close();
    if (!StartMessage.empty()) ShowMessage(*this, "提示", std::exchange(StartMessage, {}));
    if (MusicOn) {
      MediaPlayer1.Notify = true;
      MediaPlayer1.Wait = false;
      ExecuteCommand(2001);
    }
  }
  // 3. Held direction keys: up, right, down, left.
  DXInput1.Update();
  if (DXInput1.Up()) ExecuteCommand(202);
  if (DXInput1.Right()) ExecuteCommand(203);
  if (DXInput1.Down()) ExecuteCommand(204);
  if (DXInput1.Left()) ExecuteCommand(201);
  // 4.-6. Automatic command slots.
  if (HoverRepeat.Active && HoverRepeat.Tick()) ExecuteCommand(HoverRepeat.Command);
  if (SubtitlesOn && TextScroll.Active && TextScroll.Tick()) ExecuteCommand(TextScroll.Command);
  if (Player.Active && Player.Tick()) {
    if (Player.LeadCommand <= 1000) {
      ExecuteCommand(Player.Command);
    } else {
      ExecuteCommand(Player.LeadCommand);
      ExecuteCommand(Player.Command);
    }
    if (!Playing) Player.Active = false;
  }
  FollowTip();
  // 7.-9. A still picture is neither drawn nor presented again.
  if (SkyStale) {
    SkyModel->UpdateSky();
    SkyStale = false;
    PictureStale = true;
  }
  // While a menu or dialog shows, while a menu waits to open or ImGui has
  // pointer events still to take, and for two frames after (ImGui settles
  // which window holds the pointer one frame late), every tick draws.
  if (DXDraw.OverlayShowing() || DialogView || PopupPending ||
      (ImGuiHost.Ready() && ImGuiHost.PointerPending()))
    OverlayFrames = 2;
  if (PictureStale || DrawEveryFrame || OverlayFrames > 0 || DXDraw.Frames() == 0) {
    PictureStale = false;
    if (OverlayFrames > 0) --OverlayFrames;
    DrawFrame();
    // ImGui (its font atlas holds every interface character: megabytes
    // and tens of milliseconds) starts with the first menu or dialog, not
    // with the first frame.
    if (ImGuiHost.Ready() || PopupPending || DialogView) DrawOverlay();
    DXDraw.Flip();
  }
}

void TFormSky::StartImGui() {
  if (ImGuiHost.Ready()) return;
  std::string texts;
  for (int id = 1; id <= 114; ++id) texts += GbkToUtf8(LoadStr(id));
  if (SkyModel) {
    for (int i = 1; i <= MaxConsts; ++i) texts += GbkToUtf8(SkyModel->Consts[i].Name.view());
  }
  ImGuiHost.AddGlyphs(texts);
  ImGuiHost.AddGlyphs(DialogGlyphs());
  ImGuiHost.Initialize(DXDraw);
}

void TFormSky::DrawOverlay() {
  StartImGui();
  ImGuiHost.BeginFrame();
  // 10. The popup menu of a right click on a constellation.
  DrawPopupMenu();
  if (DialogView) DialogView();
  ImGuiHost.EndFrame();
}

void TFormSky::DrawFrame() {
  if (!DXDraw.CanDraw()) return;
  TSkyloom& sky = *SkyModel;
  SyncSwitchLooks();
  BackgroundColor = ((sky.ShowFlags & SkyBits::Ground) && sky.Planets[1].Visible && HoverObject == 0)
                        ? RGB(0, 0, 50)
                        : clBlack;
  DXDraw.Fill(BackgroundColor);
  TSkyDrawContext ctx{sky,     DXDraw.Buffer(), DXDraw.Canvas(), DXImageList, DXImageList1,
                      Marks,   Popup,           BackgroundColor, HoverObject, HoverX,
                      HoverY,  NebulaNames != 0, DXDraw.CanDraw()};
  ctx.Labels = Labels.get();  // the label pass's tables are kept between frames
  DrawSky(ctx);
  // The lower panel, its text, buttons, dials and status line.
  const bool english = sky.English == 1;
  const std::string_view city =
      sky.City < 1 || sky.City > CityCount ? std::string_view()
      : english && !Cities[sky.City].English.empty() ? Cities[sky.City].English.view()
                                                      : Cities[sky.City].CityName.view();
  TPanelContext panel{sky, DXDraw.Buffer(), DXDraw.Canvas(), DXImageList, Info};
  panel.TextShown = TextShown;
  panel.PanelState = PanelState;
  panel.LineHeight = LineHeight;
  panel.SubtitlesOn = SubtitlesOn != 0;
  // The status line says whether time runs: the time-flow words only while
  // it does (a note of the player's own, such as a go-to's, stays).
  const bool flow = Player.StatusText == LoadStr(17);
  const bool stopped = !Player.Active && flow;
  panel.PlayerStatus = stopped ? LoadStr(StrTimeStopped) : Player.StatusText;
  panel.PlayerKind = stopped ? 0 : Player.Kind;
  if (english) {
    const std::string& found = LoadStr(24);
    if (stopped) EnglishStatus = "Time stopped";
    else if (flow) EnglishStatus = "Time runs, step ";
    else if (Player.StatusText.rfind(found, 0) == 0)
      EnglishStatus.assign("Found ").append(Player.StatusText, found.size());
    else EnglishStatus = Player.StatusText;
    panel.PlayerStatus = EnglishStatus;
  }
  panel.StepAmount = StepAmount;
  panel.StepUnit = StepUnit;
  panel.CityName = city;
  panel.Scratch = &PanelScratch;
  panel.StatusScratch = &StatusScratch;
  PanelLayer.Draw(panel);
  DrawDials(panel);
  DrawShowBar(panel);
  DrawTip();
}

void TFormSky::FollowTip() {
  const int r = Pointer.Region;
  if (r != TipRegion) {
    if (TipFrames >= TipDelayFrames) PictureStale = true;  // the old tip goes
    TipRegion = r;
    TipFrames = 0;
    return;
  }
  if (TipFrames < TipDelayFrames && ++TipFrames == TipDelayFrames) PictureStale = true;
}

void TFormSky::DrawTip() {
  if (TipFrames < TipDelayFrames || TipRegion < 1 || TipRegion > MaxRegions) return;
  if (Pointer.MouseState == 1 || DialogView) return;  // not while pressing or in a dialog
  TipText = ControlTip(Regions[TipRegion].Command, SkyModel->English == 1);
  if (TipText.empty()) return;
  TCanvas& cv = DXDraw.Canvas();
  cv.Font.Name = LoadStr(22);
  cv.Font.Height = -12;
  cv.Font.Color = RGB(255, 255, 220);
  const int w = cv.TextWidth(TipText) + 10, h = cv.TextHeight(TipText) + 6;
  const int x = std::clamp(Pointer.X + 12, 0, std::max(0, Width - w));
  const int y = std::max(0, Pointer.Y - h - 6);
  // A dark plate with a light frame above and right of the pointer.
  TBackBuffer& b = DXDraw.Buffer();
  for (int yy = y; yy < y + h; ++yy)
    for (int xx = x; xx < x + w; ++xx)
      b.Put(xx, yy, (yy == y || yy == y + h - 1 || xx == x || xx == x + w - 1) ? RGB(200, 200, 120)
                                                                               : RGB(30, 30, 60));
  cv.Brush.Style = TBrushStyle::Clear;
  cv.TextOut(x + 5, y + 3, TipText);
  cv.Release();
}

void TFormSky::SetCursor(int number) {
  CursorNumber = number;
  Cursors.Set(number);
}

void TFormSky::SwitchMusic() {
  // No music file is normal; anything else in its place (a folder, a pipe)
  // goes on to the player, which says why it cannot play it.
  std::string why;
  if (!IsRegularFile("Music.mid", &why) && why == "no such file") return;
  if (MusicOn) {
    MediaPlayer1.FileName = "Music.mid";
    if (MediaPlayer1.Open()) MediaPlayer1.Play();
  } else {
    MediaPlayer1.Stop();
    MediaPlayer1.Close();
  }
}

void TFormSky::MediaPlayer1Notify() {
  if (MusicOn && MediaPlayer1.Mode() == TMediaPlayer::TMode::Stopped) {
    MediaPlayer1.Play();
    MediaPlayer1.Notify = true;
  }
}

void TFormSky::ApplicationDeactivate() {
  ApplicationActive = false;
  DXTimer1Enabled = false;
  // In full screen the surface gives way to the desktop; a window stays
  // where it is (it only pauses).
  if (!Windowed) {
    DXDraw.SetFlipOption(true);
    DXDraw.Minimize();
    Minimized = true;
  }
}

void TFormSky::ApplicationActivate() {
  ApplicationActive = true;
  Minimized = DXDraw.Minimized();
  if (!Minimized) DXDraw.SetFlipOption(false);
  DXTimer1Enabled = true;
  Invalidate();  // the surface may have been given away or covered meanwhile
}
