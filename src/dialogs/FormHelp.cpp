#include "FormHelp.h"

#include <cstdio>
#include <strings.h>

#include "FileIo.h"
#include "Gbk.h"

namespace {

constexpr size_t MaxManualBytes = 4u << 20;   // a manual of a few hundred KiB at most
constexpr size_t TitleStart = 7;              // the title begins at the 8th byte
constexpr size_t MaxTitleBytes = 100;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(std::move(line));
    at = end + 1;
  }
  return out;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsComment(const std::string& line) { return !line.empty() && line[0] == '-'; }
bool IsTopic(const std::string& line) {
  return line.size() >= 4 && strncasecmp(line.c_str(), "LIST", 4) == 0;
}

// At most `max` bytes of GBK text, never ending inside a two-byte character.
std::string CutGbk(const std::string& s, size_t max) {
  size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const size_t n = (c >= 0x81 && c <= 0xFE && i + 1 < s.size()) ? 2 : 1;
    if (i + n > max) break;
    i += n;
  }
  return s.substr(0, i);
}

std::string RawTitle(const std::string& line) {
  return line.size() > TitleStart ? CutGbk(line.substr(TitleStart), MaxTitleBytes) : "";
}

std::string TrimEnd(std::string s) {
  while (!s.empty() && IsBlank(s.back())) s.pop_back();
  return s;
}

}  // namespace

std::vector<std::string> ManualContents(const std::string& manual) {
  std::vector<std::string> out;
  for (const std::string& line : Lines(manual)) {
    if (line.empty() || IsComment(line) || IsBlank(line[0]) || !IsTopic(line)) continue;
    out.push_back(TrimEnd(RawTitle(line)));
  }
  return out;
}

std::vector<THelpTopic> TopicsFromContents(const std::vector<std::string>& lines) {
  std::vector<THelpTopic> out;
  int previous = -1;
  for (const std::string& line : lines) {
    size_t blanks = 0;
    while (blanks < line.size() && IsBlank(line[blanks])) ++blanks;
    THelpTopic t;
    t.Depth = std::min<int>(static_cast<int>(blanks), previous + 1);
    t.Title = GbkToUtf8(Trim(line));
    previous = t.Depth;
    out.push_back(std::move(t));
  }
  return out;
}

std::vector<std::string> TopicText(const std::string& manual, int n) {
  std::vector<std::string> out;
  int count = 0;
  bool collecting = false;
  for (const std::string& line : Lines(manual)) {
    if (IsComment(line)) continue;
    if (IsTopic(line)) {
      if (collecting) break;
      if (++count == n) {
        out.push_back(Trim(RawTitle(line)));
        out.push_back("");
        collecting = true;
      }
      continue;
    }
    if (collecting) {
      out.push_back(line);
      out.push_back("");
    }
  }
  return out;
}

TFormHelp::TFormHelp(std::string helpFile, std::string tempFolder)
    : HelpFile(std::move(helpFile)), tempFolder_(std::move(tempFolder)) {}

bool TFormHelp::ReadManual(std::string& text, bool quietWhenMissing) {
  std::vector<uint8_t> bytes;
  std::string why;
  const TReadResult r = ReadFilePrefix(HelpFile, MaxManualBytes + 1, bytes, &why);
  if (r == TReadResult::Missing) {
    if (!quietWhenMissing) Message = "skyloom: " + HelpFile + ": the manual is missing";
    return false;
  }
  if (r == TReadResult::Unreadable) {
    Message = "skyloom: " + HelpFile + ": cannot read the manual (" + why + ")";
    return false;
  }
  if (bytes.size() > MaxManualBytes) {
    Message = "skyloom: " + HelpFile + ": the manual is larger than 4 MiB";
    return false;
  }
  // A NUL ends its line: the rest of that line is dropped, the lines after
  // it are read as usual.
  text.clear();
  text.reserve(bytes.size());
  bool cut = false;
  for (uint8_t b : bytes) {
    if (b == '\n') cut = false;
    else if (b == 0) cut = true;
    if (!cut) text += static_cast<char>(b);
  }
  return true;
}

void TFormHelp::FormCreate() {
  TreeView1.clear();
  Selected = -1;
  Message.clear();
  std::string manual;
  if (!ReadManual(manual, true)) return;
  if (tempFolder_.empty()) {
    Message = "skyloom: Content.txt: no private folder for the contents file";
    return;
  }
  ContentsFile = tempFolder_ + "/Content.txt";
  std::string contents;
  for (const std::string& line : ManualContents(manual)) contents += line + "\r\n";
  std::string why;
  if (!WriteFileAtomic(ContentsFile, contents, &why)) {
    Message = "skyloom: " + ContentsFile + ": cannot write the contents (" + why + ")";
    return;
  }
  std::vector<uint8_t> back;
  if (ReadFilePrefix(ContentsFile, MaxManualBytes, back, &why) != TReadResult::Ok) {
    Message = "skyloom: " + ContentsFile + ": cannot read the contents back (" + why + ")";
    return;
  }
  TreeView1 = TopicsFromContents(Lines(std::string(back.begin(), back.end())));
}

void TFormHelp::ShowTopic(int n) {
  TopicLines.clear();
  Memo1.clear();
  std::string manual;
  if (!ReadManual(manual, true)) return;
  TopicLines = TopicText(manual, n);
  for (size_t i = 0; i < TopicLines.size(); ++i) {
    if (i) Memo1 += '\n';
    Memo1 += GbkToUtf8(TopicLines[i]);
  }
}

void TFormHelp::FormShow() {
  Open = true;
  Selected = TreeView1.empty() ? -1 : 0;
  ShowTopic(1);
}

void TFormHelp::TreeView1Change(int index) {
  if (index < 0 || index >= static_cast<int>(TreeView1.size())) return;
  Selected = index;
  ShowTopic(index + 1);
}

std::vector<std::string> TFormHelp::Captions() {
  return {"使用说明", "Skyloom使用说明", "关闭"};
}
