// The information text: the title and display lines of the lower panel and
// of the subtitle strip (the selected constellation's name and story, or the
// text of the current show page), with its scrolling state. Texts are GBK;
// positions and lengths count bytes. The main form owns one; the panel
// drawing reads it, the dispatcher and the show player write it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "ShortString.h"
#include "Table.h"

// The splitter makes at most 50 lines; one empty line may be appended after
// them (the gap between the end and the restart of a scrolling subtitle).
constexpr int MaxSplitLines = 50;
constexpr int MaxInfoLines = MaxSplitLines + 1;

struct TInfoText {
  ShortString Title;                        // at most 255 bytes
  std::string Body;                         // the whole story or page text
  Table1<ShortString, MaxInfoLines> Lines;  // lines 1..LineCount
  int LineCount = 0;
  int TopLine = 0;      // lines TopLine + 1 ... are visible
  int PixelOffset = 0;  // smooth-scroll offset, 0..LineHeight - 1

  // Empties every line; LineCount and TopLine 0 (title and body stay).
  void ClearLines();
  // Appends a line (cut to 255 bytes at a character boundary); false when
  // all MaxInfoLines slots are in use.
  bool AddLine(std::string_view gbk);
};

// Bytes of the longest start of `gbk` that holds at most `maxBytes` bytes and
// ends on a character boundary: a two-byte GBK character (lead byte 0x81..
// 0xFE) is never cut in two. A lead byte as the last byte of the text counts
// as one character.
size_t GbkCutLength(std::string_view gbk, size_t maxBytes);

// Cuts `text` into pieces of at most `maxBytes` bytes at character
// boundaries and appends them to the lines of `info`, at most `maxPieces`
// pieces; returns the number appended. An empty text gives one empty piece.
int AppendGbkPieces(TInfoText& info, std::string_view text, int maxBytes, int maxPieces);

// Keeps title and body and cuts the body into display lines for a panel of
// `width` pixels with characters `charWidth` pixels wide:
//  mode 0 (Chinese text): n = width / charWidth made even; lines of at most
//         n bytes, cut at character boundaries;
//  mode 1 (English text): word wrap at blanks; n = width / charWidth; a line
//         runs from its start to the last blank within n bytes after it (the
//         blank included), or n + 1 bytes when there is none.
// At most 50 lines; TopLine 0 and PixelOffset are left to the caller.
void SplitInfoText(TInfoText& info, std::string_view title, std::string_view body, int mode,
                   int charWidth, int width);
