// Sky labels at the interface scales: the 12-pixel bitmap strike at 1x,
// inked in whole pixels; at a larger scale the outline face at 12 x scale
// pixels, its edges blended with the sky over a dark shadow, and set as far
// from its star as the scale says.
#include <gtest/gtest.h>

#include <algorithm>

#include "Gbk.h"
#include "RenderRig.h"

namespace {

struct TLabelLook {
  TRect Box{};
  int InkTop = 1 << 30, InkBottom = -1;  // rows holding any ink
  int Full = 0, Partial = 0;             // pixels of the label colour, pixels between
};

}  // namespace

TEST(LabelScale, LabelsGrowAndBlendAtLargerScales) {
  TRenderRig rig;
  TSkyloom& s = *rig.Sky;
  s.CenterX = 400;
  s.CenterY = 216;
  s.RealisticSky = 0;
  s.LabelPlacement = 1;
  for (int j = 1; j <= MaxBodies; ++j) {
    s.Planets[j].Z = -1;
    s.Planets[j].Visible = 0;
  }
  s.StarCount = 1;
  TSkyPoint& star = s.Stars[1];
  star.Y = star.X = 0;  // on the centre
  star.Z = 1;
  star.Visible = 1;
  star.Mag = 5;
  const std::string name = Utf8ToGbk("天狼星");
  s.StarNames[1].Star = 1;
  s.StarNames[1].Kind = 2;
  s.StarNames[1].Name.set(name.c_str());
  rig.Switches(SkyBits::StarNames, 0, true, false, false);
  constexpr TColor back = RGB(0, 0, 50);

  const auto look = [&](double scale) {
    rig.InterfaceScale = scale;
    rig.Draw(back);
    TLabelLook l;
    const auto found = std::find_if(rig.Placed.begin(), rig.Placed.end(),
                                    [&](const TPlacedLabel& p) { return p.Text == name; });
    EXPECT_NE(found, rig.Placed.end()) << scale;
    if (found == rig.Placed.end()) return l;
    l.Box = found->Box;
    const TColor bg = TBackBuffer::From565(TBackBuffer::To565(back));
    for (int y = l.Box.Top; y < l.Box.Bottom; ++y)
      for (int x = l.Box.Left; x < l.Box.Right; ++x) {
        const TColor c = rig.Buffer.Get(x, y);
        if (c == bg) continue;
        (c == clWhite ? l.Full : l.Partial) += 1;
        l.InkTop = std::min(l.InkTop, y);
        l.InkBottom = std::max(l.InkBottom, y);
      }
    return l;
  };

  const TLabelLook one = look(1);
  EXPECT_EQ(one.Partial, 0) << "the bitmap strike inks whole pixels";
  EXPECT_GT(one.Full, 40);
  EXPECT_EQ(one.Box.Left, 405) << "5 pixels right of the star";
  EXPECT_EQ(one.Box.Top, 221);

  const TLabelLook big = look(1.75);
  EXPECT_GT(big.Partial, big.Full / 2) << "edges blended with the sky";
  EXPECT_GT(big.Full + big.Partial, 3 * one.Full / 2);
  EXPECT_EQ(big.Box.Left, 409) << "5 x 1.75 pixels right of the star";
  EXPECT_EQ(big.Box.Top, 225);
  // Glyphs and the label's box grow with the scale.
  EXPECT_GE(big.InkBottom - big.InkTop, (one.InkBottom - one.InkTop) * 3 / 2);
  EXPECT_GE(big.Box.Bottom - big.Box.Top, (one.Box.Bottom - one.Box.Top) * 3 / 2);
  EXPECT_GE(big.Box.Right - big.Box.Left, (one.Box.Right - one.Box.Left) * 3 / 2);

  // Over a bright sky the smooth label has a dark shadow; the strike none.
  const auto darker = [&](double scale) {
    constexpr TColor bright = RGB(150, 150, 150);
    rig.InterfaceScale = scale;
    rig.Draw(bright);
    int n = 0;
    for (const TPlacedLabel& p : rig.Placed)
      for (int y = p.Box.Top; y <= p.Box.Bottom; ++y)
        for (int x = p.Box.Left; x <= p.Box.Right; ++x) n += (rig.Buffer.Get(x, y) & 255) < 100;
    return n;
  };
  EXPECT_EQ(darker(1), 0);
  EXPECT_GT(darker(1.75), big.Full / 2);

  // After a frame at 1.75 the 1x frame is the bitmap strike's again, to the
  // pixel (nothing of the larger face lingers in the canvas).
  look(1);
  const TBackBuffer before = rig.Buffer;
  look(1.75);
  look(1);
  int differ = 0;
  for (int y = 0; y < rig.Buffer.Height(); ++y)
    for (int x = 0; x < rig.Buffer.Width(); ++x) differ += rig.Buffer.Get(x, y) != before.Get(x, y);
  EXPECT_EQ(differ, 0);
}
