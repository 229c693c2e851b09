// The lower panel over the sky: its background picture, the information
// text (or the subtitle strip while the panel is down), the region buttons by
// their looks, the azimuth dial with its needle, the altitude dial with its
// stand and sighting tube, the show bar and the status line.
//
// DrawPanel runs the steps in order; DrawPanelBackground is the one static
// step (the "Panel" picture at section 2's origin), kept apart so that it can
// be cached. Positions come from the section and region tables (src/ui).
#pragma once

#include <string>
#include <string_view>

#include "Canvas.h"
#include "ImageList.h"
#include "InfoText.h"
#include "SkyModel.h"

// What the panel shows besides the sky model and the region tables.
struct TPanelContext {
  const TSkyloom& Sky;
  TBackBuffer& Buffer;
  TCanvas& Canvas;
  const TDXImageList& Images;      // "LoadImg.rxf"
  const TInfoText& Info;
  bool TextShown = false;
  int PanelState = 1;              // 1 up, 2 down (subtitle strip)
  int LineHeight = 16;
  bool SubtitlesOn = false;
  std::string_view PlayerStatus;   // GBK, the player's status text
  int PlayerKind = 0;              // 1 time flow: the step follows the status text
  int StepAmount = 1, StepUnit = 1;  // unit 1 minutes, 2 days, 3 years
  std::string_view CityName;       // GBK, empty for none
  // Work strings reused from frame to frame (no allocation once grown).
  std::string* Scratch = nullptr;
  std::string* StatusScratch = nullptr;
};

void DrawPanelBackground(TPanelContext& c);
// "StoryBack" and, when a text is shown, its title and lines (panel up) or
// the subtitle strip (panel down, subtitles on). Places the scroll thumb,
// region 27, between the scroll buttons (y 1000, out of sight, for five
// lines or fewer).
void DrawStoryPanel(TPanelContext& c);
// Every visible region with its picture, frame by its look.
void DrawButtons(TPanelContext& c);
// The turning "Comp" dial and "Needle"; "StarBack", "Stick", turning "Glass".
void DrawDials(TPanelContext& c);
// "ShowBar" and the status line over it.
void DrawShowBar(TPanelContext& c);
// All of the above, in order.
void DrawPanel(TPanelContext& c);

// The status line (GBK): date and time, place, tilt, direction and the
// time flow, joined by single spaces, written into `out`.
void BuildStatusLine(const TSkyloom& sky, std::string_view cityName, std::string_view playerStatus,
                     int playerKind, int stepAmount, int stepUnit, std::string& out);
std::string BuildStatusLine(const TSkyloom& sky, std::string_view cityName,
                            std::string_view playerStatus, int playerKind, int stepAmount,
                            int stepUnit);
