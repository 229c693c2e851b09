// The presenter: draws the sky and the lower panel of a frame from the view
// state, with the pictures and the caches the drawing keeps from frame to
// frame (the label pass, the panel's still layer, work strings). It reads
// the view state and writes only the back buffer and its own caches.
#pragma once

#include <memory>
#include <string>

#include "Canvas.h"
#include "ImageList.h"
#include "Panel.h"

class TDXDraw;
class TLabelPass;
class TViewState;

class TPresenter {
 public:
  TPresenter();
  ~TPresenter();
  TPresenter(const TPresenter&) = delete;
  TPresenter& operator=(const TPresenter&) = delete;

  // The sky and the lower panel (text, buttons, dials, status line) of
  // `view` into the back buffer of `draw`.
  void DrawScene(TViewState& view, TDXDraw& draw);

  TDXImageList DXImageList;   // "LoadImg.rxf": sky, ground, panel
  TDXImageList DXImageList1;  // "Messia2.rxf": pictures of hovered objects
  TScaledPanelArt PanelArt;   // the panel's and the sky's pictures at the interface scale
  TScaledHoverArt HoverArt;   // the hovered object's picture at the interface scale
  TColor BackgroundColor = clBlack;  // of the last frame drawn
  // Work strings of the panel drawing, kept from frame to frame.
  std::string PanelScratch, StatusScratch, EnglishStatus;
  // The panel's still layer (background, story panel, buttons), drawn again
  // only when something it shows has changed.
  TPanelLayer PanelLayer;
  // The label placement pass of the sky drawing, made once (its fixed
  // tables are too large to build on the stack every frame).
  std::unique_ptr<TLabelPass> Labels;
};
