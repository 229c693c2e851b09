#include "InfoText.h"

#include <algorithm>

namespace {

bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

}  // namespace

void TInfoText::ClearLines() {
  for (int i = 1; i <= MaxInfoLines; ++i) Lines[i] = ShortString{};
  LineCount = 0;
  TopLine = 0;
}

bool TInfoText::AddLine(std::string_view gbk) {
  if (LineCount < 0) LineCount = 0;
  if (LineCount >= MaxInfoLines) return false;
  ++LineCount;
  Lines[LineCount].set(gbk.substr(0, GbkCutLength(gbk, 255)));
  return true;
}

size_t GbkCutLength(std::string_view gbk, size_t maxBytes) {
  size_t p = 0;
  while (p < gbk.size()) {
    const size_t step =
        (IsLeadByte(static_cast<unsigned char>(gbk[p])) && p + 1 < gbk.size()) ? 2 : 1;
    if (p + step > maxBytes) break;
    p += step;
  }
  return p;
}

int AppendGbkPieces(TInfoText& info, std::string_view text, int maxBytes, int maxPieces) {
  if (maxPieces <= 0) return 0;
  // A piece always holds at least one whole character, so the cutting ends.
  const size_t n = static_cast<size_t>(std::max(maxBytes, 2));
  if (text.empty()) return info.AddLine({}) ? 1 : 0;
  int made = 0;
  size_t p = 0;
  while (p < text.size() && made < maxPieces) {
    const size_t k = GbkCutLength(text.substr(p), n);
    if (!info.AddLine(text.substr(p, k))) break;
    ++made;
    p += k;
  }
  return made;
}

void SplitInfoText(TInfoText& info, std::string_view title, std::string_view body, int mode,
                   int charWidth, int width) {
  info.Title.set(title.substr(0, GbkCutLength(title, 255)));
  info.Body.assign(body);
  info.ClearLines();
  const int n = charWidth > 0 ? width / charWidth : width;
  if (mode == 0) {
    AppendGbkPieces(info, body, n - (n % 2), MaxSplitLines);
    return;
  }
  // Word wrap: each line ends at the last blank within n bytes of its start
  // (the blank stays on the line); a word longer than the line is cut hard.
  const size_t span = static_cast<size_t>(std::max(n, 1));
  const size_t length = body.size();
  size_t p = 0;
  while (p < length && info.LineCount < MaxSplitLines) {
    size_t e = p + span;  // last byte of a full line
    if (e >= length - 1) {
      e = length - 1;
    } else {
      size_t b = e;
      while (b > p && body[b] != ' ') --b;
      if (b > p) {
        e = b;
      } else {
        // No blank: n + 1 bytes, never cutting a two-byte character.
        const size_t k = GbkCutLength(body.substr(p), span + 1);
        e = p + std::max<size_t>(k, 1) - 1;
      }
    }
    info.AddLine(body.substr(p, e - p + 1));
    p = e + 1;
  }
  if (info.LineCount == 0) info.AddLine({});
}
