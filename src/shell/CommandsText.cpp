// The lower panel's slide and the information text: choosing the text,
// scrolling it by line, by the thumb and by the subtitle tick.
#include <algorithm>
#include <cmath>

#include "CommandCodes.h"
#include "Gbk.h"
#include "Interface.h"
#include "Lecture.h"
#include "SkyModel.h"
#include "StringTable.h"
#include "ViewState.h"
#include "Transforms.h"

namespace {

// The lower panel (section 2) slides between its two tops, 30 pixels a frame.
constexpr int PanelSlideStep = 30;
// Width of the text in the panel and in the subtitle strip; width of a
// character.
constexpr int PanelTextWidth = 240;
constexpr int StripTextWidth = 510;
constexpr int TextCharWidth = 6;

void StopPanelSlide(TAutoCommand& HoverRepeat) {
  HoverRepeat.Active = false;
  HoverRepeat.Command = 0;
  HoverRepeat.Kind = 1;
}

}  // namespace

void TViewState::RefreshInfoText() {
  if (!TextShown) return;
  const TSkyloom& sky = Sky;
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

void TViewState::SetPanelTop(int top) {
  Interface.Sections[2].Y = std::clamp(top, PanelUpY, PanelDownY);
  // The sky area ends where the panel begins.
  Interface.Sections[1].Height = Interface.Sections[2].Y;
  Interface.Regions[19].Height = Interface.Sections[2].Y;
  Sky.ScreenWidth = Layout.Width;
  Sky.ScreenHeight = Layout.Y(Interface.Sections[2].Y);
  SkyStale = true;
  const int state = Interface.Sections[2].Y == PanelDownY ? 2 : Interface.Sections[2].Y == PanelUpY ? 1 : PanelState;
  if (state == PanelState) return;
  PanelState = state;
  RefreshInfoText();  // the text is laid out for the panel or the strip
}

void TViewState::ApplyInterfaceScale() {
  Layout.Scale = InterfaceScaleFor(Layout.Width, Layout.Height, Sky.InterfaceScale);
  SetPanelTop(Interface.Sections[2].Y);
  ApplyFieldOfView(Sky);
  Invalidate();
}

void TViewState::PanelCommand(int code) {
  switch (code) {
    case Cmd::PointerLeft:  // the pointer left a repeat region
      if (HoverRepeat.Kind < 2) {
        HoverRepeat.Active = false;
        HoverRepeat.Counter = 0;
        HoverRepeat.Command = 0;
      }
      Stage->SetCursor(0);
      break;
    case Cmd::PanelToggle:  // slide the panel down, or up when it is down
      HoverRepeat.Command = Interface.Sections[2].Y < PanelDownY ? Cmd::PanelSlideDown : Cmd::PanelSlideUp;
      HoverRepeat.Active = true;
      HoverRepeat.Interval = 1;
      HoverRepeat.Kind = 2;
      break;
    case Cmd::PanelSlideDown:
      if (Interface.Sections[2].Y + PanelSlideStep >= PanelDownY) StopPanelSlide(HoverRepeat);
      SetPanelTop(Interface.Sections[2].Y + PanelSlideStep);
      break;
    case Cmd::PanelSlideUp:
      if (Interface.Sections[2].Y - PanelSlideStep <= PanelUpY) StopPanelSlide(HoverRepeat);
      SetPanelTop(Interface.Sections[2].Y - PanelSlideStep);
      break;
  }
}

void TViewState::TextCommand(int code) {
  switch (code) {
    case Cmd::TextLineUp:
      Info.TopLine = std::max(Info.TopLine - 1, 0);
      break;
    case Cmd::TextLineDown:
      Info.TopLine = std::max(std::min(Info.TopLine + 1, Info.LineCount - 1), 0);
      break;
    case Cmd::TextThumbDrag: {  // the thumb follows the pointer between the two scroll buttons
      const int top = Layout.Y(Interface.Sections[2].Y + Interface.Regions[25].Y + Interface.Regions[25].Height);
      const int bottom = Layout.Y(Interface.Sections[2].Y + Interface.Regions[26].Y - Interface.Regions[27].Height);
      if (bottom <= top || Info.LineCount < 1) {
        Info.TopLine = 0;
        break;
      }
      const int p = std::clamp(PointerAt.Y, top, bottom);
      const double share = static_cast<double>(p - top) / (bottom - top);
      Info.TopLine = static_cast<int>(std::lround(share * (Info.LineCount - 1)));
      break;
    }
    case Cmd::TextScrollTick:  // one pixel of smooth subtitle scroll
      ++Info.PixelOffset;
      if (Info.PixelOffset >= LineHeight) {
        ++Info.TopLine;
        if (Info.TopLine >= Info.LineCount) Info.TopLine = 0;
        Info.PixelOffset = 0;
      }
      break;
  }
}
