// The lower panel over the sky: its background picture, the information
// text (or the subtitle strip while the panel is down), the region buttons by
// their looks, the azimuth dial with its needle, the altitude dial with its
// stand and sighting tube, the show bar and the status line.
//
// DrawPanel runs the steps in order. TPanelLayer keeps the still part of it
// (background, story panel, buttons) from frame to frame, so that a frame in
// which only the view turns draws just the dials and the status line over
// the kept picture. Positions come from the section and region tables
// (src/ui).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Canvas.h"
#include "ImageList.h"
#include "InfoText.h"
#include "Interface.h"
#include "SkyModel.h"

// What the panel shows besides the sky model and the region tables.
struct TPanelContext {
  const TSkyloom& Sky;
  TInterface& Ui;                  // the stage's sections and regions
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
  int StepAmount = 1, StepUnit = 1;  // unit 1 minutes, 2 days, 3 years, 4 seconds
  std::string_view CityName;       // GBK, empty for none
  // Work strings reused from frame to frame (no allocation once grown).
  std::string* Scratch = nullptr;
  std::string* StatusScratch = nullptr;
  TStageLayout Layout{};           // where the panel's units land on the stage
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

// The panel's still layer: what DrawPanelBackground, DrawStoryPanel and
// DrawButtons give, kept as the rows of the "Panel" picture. Draw lays the
// kept rows when nothing those steps read has changed since they were kept
// (sections, regions, the text, the panel's state, the images, the buffer);
// otherwise it runs the three steps and keeps their picture anew. The rows
// are kept only where the result cannot depend on the sky beneath or reach
// outside them: the picture is opaque and spans the buffer's width, and
// every button, the story board and its text lie within those rows (or off
// the buffer). Otherwise (the subtitle strip over the sky, a button of
// another section) the steps run in every frame. Either way the buffer ends
// as the three steps would leave it.
class TPanelLayer {
 public:
  void Draw(TPanelContext& c);
  // Whether the last Draw laid kept rows (tests).
  bool LastFromKept() const { return lastKept_; }
  // The rows [top, bottom) of a buffer W x H that Draw covers with the
  // opaque "Panel" picture from edge to edge, whatever lay there before;
  // false when the picture is missing or not opaque. Asked before drawing,
  // so that those rows are not cleared first for nothing.
  bool CoveredRows(const TDXImageList& images, const TInterface& ui, const TStageLayout& m, int W,
                   int H, int& top, int& bottom);

 private:
  // Everything the three steps read, compared field by field.
  struct TKey {
    const TDXImageList* Images = nullptr;
    unsigned ImageFills = 0;
    const TBackBuffer* Buffer = nullptr;
    int BufferWidth = 0, BufferHeight = 0;
    TStageLayout Layout;
    int SectionX[MaxSections + 1] = {}, SectionY[MaxSections + 1] = {};
    TRegion Regions[MaxRegions + 1];
    TRegion TextRegion;
    bool TextShown = false, SubtitlesOn = false;
    int PanelState = 0, LineHeight = 0;
    ShortString Title;
    int LineCount = 0, TopLine = 0, PixelOffset = 0;
    ShortString Lines[5];  // the lines the story panel shows
  };
  static void Fill(TKey& k, const TPanelContext& c);
  static bool Same(const TKey& a, const TKey& b);
  // The rows [top, bottom) the layer can be kept as; false when it cannot.
  static bool KeepableRows(TPanelContext& c, int& top, int& bottom);
  TKey key_, probe_;
  // Whether the "Panel" picture of the list last asked about is opaque.
  const TDXImageList* opaqueOf_ = nullptr;
  unsigned opaqueFills_ = 0;
  bool opaque_ = false;
  bool valid_ = false, lastKept_ = false;
  int top_ = 0, bottom_ = 0;
  std::vector<uint16_t> rows_;
};

// The status line (GBK): date and time (with seconds when the time flows in
// seconds or is set to a second), place, tilt, direction, the field of view
// (when it is not the default one) and the time flow, joined by single
// spaces, written into `out`. `detail` 2 is the
// whole line; 1 leaves out a named city's coordinates; 0 also the words
// "仰角：" (just "仰") and "方向：".
void BuildStatusLine(const TSkyloom& sky, std::string_view cityName, std::string_view playerStatus,
                     int playerKind, int stepAmount, int stepUnit, std::string& out,
                     int detail = 2);
std::string BuildStatusLine(const TSkyloom& sky, std::string_view cityName,
                            std::string_view playerStatus, int playerKind, int stepAmount,
                            int stepUnit);
