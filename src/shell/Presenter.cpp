#include "Presenter.h"

#include <algorithm>

#include "CityTable.h"
#include "GlobalParams.h"
#include "LabelPass.h"
#include "Lecture.h"
#include "Screen.h"
#include "SkyDraw.h"
#include "SkyModel.h"
#include "StringTable.h"
#include "ViewState.h"

TPresenter::TPresenter() : Labels(std::make_unique<TLabelPass>()) {}

TPresenter::~TPresenter() = default;

void TPresenter::DrawScene(TViewState& view, TDXDraw& draw) {
  TSkyloom& sky = view.Sky;
  // The navy day sky behind a ground lit by the Sun (not behind a picture).
  const bool day = (sky.ShowFlags & SkyBits::Ground) && sky.Planets[1].Visible;
  BackgroundColor = day && view.HoverObject == 0 ? RGB(0, 0, 50) : clBlack;
  // The sky drawing lays the sky area's own ground; below it the rows start
  // from the background colour, but for those the panel's picture covers.
  const int skyRows = draw.CanDraw() ? std::clamp(sky.ScreenHeight, 0, draw.Height()) : 0;
  const TDXImageList& panelArt = PanelArt.For(DXImageList, view.Layout.Scale);
  int coveredTop = 0, coveredBottom = 0;
  if (PanelLayer.CoveredRows(panelArt, view.Interface, view.Layout, draw.Width(), draw.Height(),
                             coveredTop, coveredBottom)) {
    draw.Buffer().FillRows(skyRows, std::min(coveredTop, draw.Height()), BackgroundColor);
    draw.Buffer().FillRows(std::max(skyRows, coveredBottom), draw.Height(), BackgroundColor);
  } else {
    draw.Buffer().FillRows(skyRows, draw.Height(), BackgroundColor);
  }
  TSkyDrawContext ctx{sky,         draw.Buffer(),    draw.Canvas(), DXImageList,
                      DXImageList1, view.Marks,       view.Popup,    BackgroundColor,
                      view.HoverObject, view.HoverX,  view.HoverY,   view.Parameters.NebulaNames != 0,
                      draw.CanDraw()};
  ctx.Labels = Labels.get();  // the label pass's tables are kept between frames
  ctx.InterfaceScale = view.Layout.Scale;
  // The sky's pictures come from the same scaled lists as the panel's.
  if (&panelArt != &DXImageList) {
    ctx.ScaledImages = &panelArt;
    ctx.ArtScale = view.Layout.Scale;
  }
  ctx.HoverArt = &HoverArt;
  if (view.HoverObject == 0) HoverArt.Release();  // its picture is let go once the pointer leaves
  DrawSky(ctx);
  // The lower panel, its text, buttons, dials and status line.
  view.SyncSwitchLooks();
  const bool english = sky.English == 1;
  const TCityTable& cities = sky.CityTable;
  const std::string_view city =
      sky.City < 1 || sky.City > cities.CityCount ? std::string_view()
      : english && !cities.Cities[sky.City].English.empty()
          ? cities.Cities[sky.City].English.view()
          : cities.Cities[sky.City].CityName.view();
  // The status line says whether time runs: the time-flow words only while
  // it does (a note of the player's own, such as a go-to's, stays).
  const TPlayerSlot& player = view.Player;
  const bool flow = player.StatusText == LoadStr(17);
  const bool stopped = !player.Active && flow;
  std::string_view status = stopped ? std::string_view(LoadStr(StrTimeStopped))
                                    : std::string_view(player.StatusText);
  if (english) {
    const std::string& found = LoadStr(24);
    if (stopped) EnglishStatus = "Time stopped";
    else if (flow) EnglishStatus = "Time runs, step ";
    else if (player.StatusText.rfind(found, 0) == 0)
      EnglishStatus.assign("Found ").append(player.StatusText, found.size());
    else EnglishStatus = player.StatusText;
    status = EnglishStatus;
  }
  // A show page whose time glides in seconds shows them on the clock, as a
  // time flow in seconds does.
  int clockUnit = sky.StepUnit;
  if (player.Active && player.Kind == 2 && view.Lecture.Current >= 1 && view.Lecture.Current <= view.Lecture.Count) {
    const TShowFrame& page = view.Lecture.Frames[static_cast<size_t>(view.Lecture.Current)];
    if ((page.Moves & MoveBits::Time) && page.StepUnit == 4) clockUnit = 4;
  }
  TPanelContext panel{.Sky = sky,
                      .Ui = view.Interface,
                      .Buffer = draw.Buffer(),
                      .Canvas = draw.Canvas(),
                      .Images = panelArt,
                      .Info = view.Info,
                      .TextShown = view.TextShown,
                      .PanelState = view.PanelState,
                      .LineHeight = view.LineHeight,
                      .SubtitlesOn = view.Parameters.SubtitlesOn != 0,
                      .PlayerStatus = status,
                      .PlayerKind = stopped ? 0 : player.Kind,
                      .StepAmount = sky.StepAmount,
                      .StepUnit = clockUnit,
                      .CityName = city,
                      .Scratch = &PanelScratch,
                      .StatusScratch = &StatusScratch,
                      .Layout = view.Layout};
  PanelLayer.Draw(panel);
  DrawDials(panel);
  DrawShowBar(panel);
}
