#include "Presenter.h"

#include "CityTable.h"
#include "GlobalParams.h"
#include "LabelPass.h"
#include "Screen.h"
#include "SkyDraw.h"
#include "SkyModel.h"
#include "ViewState.h"

TPresenter::TPresenter() : Labels(std::make_unique<TLabelPass>()) {}

TPresenter::~TPresenter() = default;

void TPresenter::DrawScene(TViewState& view, TDXDraw& draw) {
  TSkyloom& sky = view.Sky;
  // The navy day sky behind a ground lit by the Sun (not behind a picture).
  const bool day = (sky.ShowFlags & SkyBits::Ground) && sky.Planets[1].Visible;
  BackgroundColor = day && view.HoverObject == 0 ? RGB(0, 0, 50) : clBlack;
  draw.Fill(BackgroundColor);
  TSkyDrawContext ctx{sky,         draw.Buffer(),    draw.Canvas(), DXImageList,
                      DXImageList1, view.Marks,       view.Popup,    BackgroundColor,
                      view.HoverObject, view.HoverX,  view.HoverY,   NebulaNames != 0,
                      draw.CanDraw()};
  ctx.Labels = Labels.get();  // the label pass's tables are kept between frames
  DrawSky(ctx);
  // The lower panel, its text, buttons, dials and status line.
  const std::string_view city = sky.City >= 1 && sky.City <= CityCount
                                    ? Cities[sky.City].CityName.view()
                                    : std::string_view();
  TPanelContext panel{.Sky = sky,
                      .Buffer = draw.Buffer(),
                      .Canvas = draw.Canvas(),
                      .Images = DXImageList,
                      .Info = view.Info,
                      .TextShown = view.TextShown,
                      .PanelState = view.PanelState,
                      .LineHeight = view.LineHeight,
                      .SubtitlesOn = SubtitlesOn != 0,
                      .PlayerStatus = view.Player.StatusText,
                      .PlayerKind = view.Player.Kind,
                      .StepAmount = StepAmount,
                      .StepUnit = StepUnit,
                      .CityName = city,
                      .Scratch = &PanelScratch,
                      .StatusScratch = &StatusScratch};
  PanelLayer.Draw(panel);
  DrawDials(panel);
  DrawShowBar(panel);
}
