// The lower panel's slide and the information text: choosing the text,
// scrolling it by line, by the thumb and by the subtitle tick.
#include <algorithm>
#include <cmath>

#include "FormSky.h"
#include "Gbk.h"
#include "Interface.h"
#include "Lecture.h"
#include "SkyModel.h"
#include "StringTable.h"

namespace {

// The lower panel (section 2) slides between these tops, 30 pixels a frame.
constexpr int PanelUpY = 432;
constexpr int PanelDownY = 564;
constexpr int PanelSlideStep = 30;
// Width of the text in the panel and in the subtitle strip; width of a
// character.
constexpr int PanelTextWidth = 240;
constexpr int StripTextWidth = 510;
constexpr int TextCharWidth = 6;

void StopPanelSlide() {
  HoverRepeat.Active = false;
  HoverRepeat.Command = 0;
  HoverRepeat.Kind = 1;
}

}  // namespace

void TFormSky::RefreshInfoText() {
  if (!TextShown) return;
  const TSkyloom& sky = *SkyModel;
  const int width = PanelState == 1 ? PanelTextWidth : StripTextWidth;
  if (PlayMode == 1) {
    Lecture.BuildShowText(Lecture.Current, width, TextCharWidth, Info);
  } else if (sky.SelConst < 1 || sky.SelConst > 99) {
    SplitInfoText(Info, {}, {}, 0, TextCharWidth, width);
  } else if (Language == 1) {
    SplitInfoText(Info, Trim(sky.Consts[sky.SelConst].EName.view()), sky.StoryText, 1,
                  TextCharWidth, width);
  } else {
    SplitInfoText(Info, Trim(sky.Consts[sky.SelConst].Name.view()) + LoadStr(23),
                  sky.StoryTitle, 0, TextCharWidth, width);
  }
  Info.TopLine = 0;
  if (PanelState == 1) {
    TextScroll.Active = false;
  } else {
    // The subtitle strip scrolls when the text does not fit its lines; an
    // empty line parts the end from the restart.
    TextScroll.Active = Info.LineCount >= 3;
    TextScroll.Counter = 0;
    Info.PixelOffset = 0;
    Info.AddLine({});
  }
}

bool TFormSky::PanelCommand(int code) {
  TSkyloom& sky = *SkyModel;
  switch (code) {
    case 0:  // the pointer left a repeat region
      if (HoverRepeat.Kind < 2) {
        HoverRepeat.Active = false;
        HoverRepeat.Counter = 0;
        HoverRepeat.Command = 0;
      }
      SetCursor(0);
      return true;
    case 304:  // slide the panel down, or up when it is down
      HoverRepeat.Command = Sections[2].Y < PanelDownY ? 1010 : 1011;
      HoverRepeat.Active = true;
      HoverRepeat.Interval = 1;
      HoverRepeat.Kind = 2;
      return true;
    case 1010:
      Sections[2].Y += PanelSlideStep;
      if (Sections[2].Y >= PanelDownY) {
        Sections[2].Y = PanelDownY;
        StopPanelSlide();
        PanelState = 2;
        RefreshInfoText();
      }
      break;
    case 1011:
      Sections[2].Y -= PanelSlideStep;
      if (Sections[2].Y <= PanelUpY) {
        Sections[2].Y = PanelUpY;
        StopPanelSlide();
        if (PanelState != 1) {
          PanelState = 1;
          RefreshInfoText();
        }
      }
      break;
    default:
      return false;
  }
  // The sky area ends where the panel begins.
  SkyStale = true;
  Sections[1].Height = Sections[2].Y;
  Regions[19].Height = Sections[2].Y;
  sky.ScreenHeight = Sections[2].Y;
  return true;
}

bool TFormSky::TextCommand(int code) {
  switch (code) {
    case 13:
      Info.TopLine = std::max(Info.TopLine - 1, 0);
      return true;
    case 14:
      Info.TopLine = std::max(std::min(Info.TopLine + 1, Info.LineCount - 1), 0);
      return true;
    case 22: {  // the thumb follows the pointer between the two scroll buttons
      const int top = Sections[2].Y + Regions[25].Y + Regions[25].Height;
      const int bottom = Sections[2].Y + Regions[26].Y - Regions[27].Height;
      if (bottom <= top || Info.LineCount < 1) {
        Info.TopLine = 0;
        return true;
      }
      const int p = std::clamp(Pointer.Y, top, bottom);
      const double share = static_cast<double>(p - top) / (bottom - top);
      Info.TopLine = static_cast<int>(std::lround(share * (Info.LineCount - 1)));
      return true;
    }
    case 1012:  // one pixel of smooth subtitle scroll
      ++Info.PixelOffset;
      if (Info.PixelOffset >= LineHeight) {
        ++Info.TopLine;
        if (Info.TopLine >= Info.LineCount) Info.TopLine = 0;
        Info.PixelOffset = 0;
      }
      return true;
    default:
      return false;
  }
}
