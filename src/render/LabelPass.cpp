#include "LabelPass.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// A text is written word by word when it is plain ASCII holding a space.
bool SplitsIntoWords(std::string_view s) {
  bool space = false;
  for (unsigned char c : s) {
    if (c >= 0x80) return false;
    if (c == ' ') space = true;
  }
  return space;
}

// Calls f(word) for each run of non-space characters.
template <class F>
void ForEachWord(std::string_view s, F&& f) {
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && s[i] == ' ') ++i;
    size_t j = i;
    while (j < s.size() && s[j] != ' ') ++j;
    if (j > i) f(s.substr(i, j - i));
    i = j;
  }
}

const char* const SymbolFontName = "Symbol";

}  // namespace

int LabelShadowOffset(const TCanvas& canvas) {
  return canvas.Font.Smooth ? std::max(1, std::abs(canvas.Font.Height) / 16) : 0;
}

void LabelTextOut(TCanvas& canvas, int x, int y, const std::string& gbk) {
  if (const int offset = LabelShadowOffset(canvas)) {
    const TColor colour = canvas.Font.Color;
    canvas.Font.Color = clBlack;
    canvas.TextOut(x + offset, y + offset, gbk);
    canvas.Font.Color = colour;
  }
  canvas.TextOut(x, y, gbk);
}

int WordGapOf(const TCanvas& canvas) {
  const int pixels = canvas.Font.Height == 0 ? 12 : std::abs(canvas.Font.Height);
  return std::max(1, (WordGap * pixels + 6) / 12);
}

int LabelTextWidth(TCanvas& canvas, std::string_view gbk, std::string& scratch) {
  if (!SplitsIntoWords(gbk)) {
    scratch.assign(gbk);
    return canvas.TextWidth(scratch);
  }
  int width = 0, words = 0;
  ForEachWord(gbk, [&](std::string_view w) {
    scratch.assign(w);
    width += canvas.TextWidth(scratch);
    ++words;
  });
  return width + (words > 1 ? (words - 1) * WordGapOf(canvas) : 0);
}

void DrawLabelText(TCanvas& canvas, int x, int y, std::string_view gbk, std::string& scratch) {
  if (gbk.empty()) return;
  if (!SplitsIntoWords(gbk)) {
    scratch.assign(gbk);
    LabelTextOut(canvas, x, y, scratch);
    return;
  }
  const int startX = x, gap = WordGapOf(canvas);
  ForEachWord(gbk, [&](std::string_view w) {
    scratch.assign(w);
    LabelTextOut(canvas, x, y, scratch);
    x += canvas.TextWidth(scratch) + gap;
  });
  // The pen ends after the text, as a single TextOut leaves it.
  canvas.MoveTo(std::max(startX, x - gap), y);
}

void TLabelPass::Reset(int width, int height) {
  width_ = std::max(0, width);
  height_ = std::max(0, height);
  shift_ = 1;
  for (;;) {
    const int cx = (width_ + (1 << shift_) - 1) >> shift_;
    const int cy = (height_ + (1 << shift_) - 1) >> shift_;
    words_ = (cx + 63) / 64;
    rows_ = cy;
    if (static_cast<long long>(words_) * rows_ <= MaxWords) break;
    ++shift_;
  }
  std::fill(cells_.begin(), cells_.begin() + static_cast<long>(words_) * rows_, 0);
  count_ = 0;
}

bool TLabelPass::Free(int x0, int y0, int x1, int y1) const {
  const int c0 = x0 >> shift_, c1 = (x1 - 1) >> shift_;
  const int r0 = y0 >> shift_, r1 = (y1 - 1) >> shift_;
  for (int r = r0; r <= r1; ++r) {
    const uint64_t* row = cells_.data() + static_cast<long>(r) * words_;
    for (int w = c0 >> 6; w <= (c1 >> 6); ++w) {
      const int lo = std::max(c0, w * 64) - w * 64, hi = std::min(c1, w * 64 + 63) - w * 64;
      const uint64_t mask = (hi == 63 ? ~uint64_t{0} : ((uint64_t{1} << (hi + 1)) - 1)) &
                            ~((uint64_t{1} << lo) - 1);
      if (row[w] & mask) return false;
    }
  }
  return true;
}

void TLabelPass::Take(int x0, int y0, int x1, int y1) {
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min(x1, width_);
  y1 = std::min(y1, height_);
  if (x0 >= x1 || y0 >= y1) return;
  const int c0 = x0 >> shift_, c1 = (x1 - 1) >> shift_;
  const int r0 = y0 >> shift_, r1 = (y1 - 1) >> shift_;
  for (int r = r0; r <= r1; ++r) {
    uint64_t* row = cells_.data() + static_cast<long>(r) * words_;
    for (int w = c0 >> 6; w <= (c1 >> 6); ++w) {
      const int lo = std::max(c0, w * 64) - w * 64, hi = std::min(c1, w * 64 + 63) - w * 64;
      row[w] |= (hi == 63 ? ~uint64_t{0} : ((uint64_t{1} << (hi + 1)) - 1)) &
                ~((uint64_t{1} << lo) - 1);
    }
  }
}

void TLabelPass::Block(const TRect& box) { Take(box.Left, box.Top, box.Right, box.Bottom); }

void TLabelPass::BlockDisc(int x, int y, int radius) {
  for (int dy = -radius; dy <= radius; ++dy) {
    int dx = 0;
    while ((dx + 1) * (dx + 1) + dy * dy <= radius * radius) ++dx;
    Take(x - dx, y + dy, x + dx + 1, y + dy + 1);
  }
}

void TLabelPass::Add(uint8_t priority, std::string_view text, bool symbolFont, TColor color, int x,
                     int y, TLabelAnchor anchor, int px, int py, int gap, uint8_t symbol,
                     bool copy) {
  if (count_ >= Capacity || (text.empty() && symbol == 0)) return;
  auto clamp16 = [](int v) { return static_cast<int16_t>(std::clamp(v, -30000, 30000)); };
  TLabel& l = labels_[static_cast<size_t>(count_)];
  l.Priority = priority;
  l.Symbol = symbol;
  l.SymbolFont = symbolFont;
  l.Anchor = anchor;
  l.Gap = static_cast<int8_t>(std::clamp(gap, 0, 100));
  l.Color = color;
  l.X = clamp16(x);
  l.Y = clamp16(y);
  l.Px = clamp16(px);
  l.Py = clamp16(py);
  l.Order = static_cast<uint16_t>(count_);
  if (copy) {
    const size_t n = std::min(text.size(), sizeof l.Copy);
    std::memcpy(l.Copy, text.data(), n);
    l.Text = nullptr;
    l.Length = static_cast<uint16_t>(n);
  } else {
    l.Text = text.data();
    l.Length = static_cast<uint16_t>(std::min<size_t>(text.size(), 65535));
  }
  ++count_;
}

void TLabelPass::Place(TCanvas& canvas, const std::string& songFont,
                       std::vector<TPlacedLabel>* placed) {
  for (int i = 0; i < count_; ++i) order_[static_cast<size_t>(i)] = static_cast<uint16_t>(i);
  std::sort(order_.begin(), order_.begin() + count_, [&](uint16_t a, uint16_t b) {
    const TLabel &la = labels_[a], &lb = labels_[b];
    return la.Priority != lb.Priority ? la.Priority < lb.Priority : la.Order < lb.Order;
  });
  canvas.Brush.Style = TBrushStyle::Clear;
  const std::string savedName = canvas.Font.Name;
  const int fontPixels = canvas.Font.Height == 0 ? 12 : std::abs(canvas.Font.Height);
  for (int i = 0; i < count_; ++i) {
    const TLabel& l = labels_[order_[static_cast<size_t>(i)]];
    const std::string_view text = TextOf(l);
    // Size of the whole label: the text and the trailing Symbol letter.
    canvas.Font.Name = l.SymbolFont ? SymbolFontName : songFont;
    int w = text.empty() ? 0 : LabelTextWidth(canvas, text, scratch_);
    int h = text.empty() ? 0 : canvas.TextHeight(scratch_.assign(text.empty() ? " " : text));
    int symbolWidth = 0;
    if (l.Symbol) {
      canvas.Font.Name = SymbolFontName;
      scratch2_.assign(1, static_cast<char>(l.Symbol));
      symbolWidth = canvas.TextWidth(scratch2_);
      h = std::max(h, canvas.TextHeight(scratch2_));
    }
    w += symbolWidth;
    if (w <= 0 || h <= 0) continue;
    // The label's shadow is part of it.
    const int shadow = LabelShadowOffset(canvas);
    w += shadow;
    h += shadow;

    // The usual place, then the others in turn; the sides and the middles
    // a sixth of the text height further off.
    const int g = l.Gap, px = l.Px, py = l.Py, e = (2 * fontPixels + 6) / 12;
    int cand[9][2];
    int n = 0;
    cand[n][0] = l.X, cand[n++][1] = l.Y;
    if (l.Anchor == TLabelAnchor::Point) {
      const int places[8][2] = {{px + g, py + g},         {px + g, py - g - h},
                                {px - g - w, py + g},     {px - g - w, py - g - h},
                                {px + g + e, py - h / 2}, {px - g - e - w, py - h / 2},
                                {px - w / 2, py + g + e}, {px - w / 2, py - g - e - h}};
      for (const auto& p : places) cand[n][0] = p[0], cand[n++][1] = p[1];
    } else {
      const int x = l.X, y = l.Y;
      const int places[6][2] = {{x, y - h - 1},         {x, y + h + 1},     {x - w / 2, y},
                                {x + w / 2, y},         {x - w / 2, y - h - 1}, {x + w / 2, y + h + 1}};
      for (const auto& p : places) cand[n][0] = p[0], cand[n++][1] = p[1];
    }
    int at = -1;
    for (int k = 0; k < n && at < 0; ++k) {
      const int x0 = cand[k][0], y0 = cand[k][1];
      if (x0 < 0 || y0 < 0 || x0 + w > width_ || y0 + h > height_) continue;
      if (Free(x0, y0, x0 + w, y0 + h)) at = k;
    }
    if (at < 0) continue;
    const int x = cand[at][0], y = cand[at][1];
    Take(x, y, x + w, y + h);
    canvas.Font.Color = l.Color;
    if (!text.empty()) {
      canvas.Font.Name = l.SymbolFont ? SymbolFontName : songFont;
      DrawLabelText(canvas, x, y, text, scratch_);
    }
    if (l.Symbol) {
      canvas.Font.Name = SymbolFontName;
      scratch2_.assign(1, static_cast<char>(l.Symbol));
      LabelTextOut(canvas, x + w - shadow - symbolWidth, y, scratch2_);
    }
    if (placed) {
      std::string all(text);
      if (l.Symbol) all += static_cast<char>(l.Symbol);
      placed->push_back({TRect{x, y, x + w, y + h}, std::move(all), l.Priority});
    }
  }
  canvas.Font.Name = savedName;
}
