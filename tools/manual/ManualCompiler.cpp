// skyloom-manual SOURCE OUTPUT: converts the manual from its UTF-8 source to
// the GBK, CR LF file the help viewer reads, and refuses a manual that the
// viewer would show wrongly: a character GBK cannot hold, a topic title
// longer than 100 bytes, fewer than 10 or more than 20 topics, a topic that
// jumps more than one level deeper, body text before the first topic.
#include <cstdio>
#include <string>
#include <vector>

#include "FileIo.h"
#include "FormHelp.h"
#include "Gbk.h"

namespace {

int Fail(const std::string& file, int line, const std::string& what) {
  if (line > 0)
    std::fprintf(stderr, "skyloom-manual: %s:%d: %s\n", file.c_str(), line, what.c_str());
  else
    std::fprintf(stderr, "skyloom-manual: %s: %s\n", file.c_str(), what.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: skyloom-manual SOURCE.txt OUTPUT.txt\n");
    return 2;
  }
  const std::string source = argv[1], output = argv[2];
  std::vector<uint8_t> bytes;
  std::string why;
  if (ReadFilePrefix(source, 4u << 20, bytes, &why) != TReadResult::Ok)
    return Fail(source, 0, "cannot read (" + why + ")");
  const std::string text(bytes.begin(), bytes.end());

  std::string gbk;
  int lineNo = 0, topics = 0, previousDepth = -1;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    at = end + 1;
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    bool ok = true;
    const std::string converted = Utf8ToGbk(line, &ok);
    if (!ok) return Fail(source, lineNo, "a character GBK cannot hold");
    const std::vector<std::string> contents = ManualContents(converted);
    if (!contents.empty()) {
      ++topics;
      if (converted.size() > 7 + 100) return Fail(source, lineNo, "topic title longer than 100 bytes");
      size_t depth = 0;
      while (depth < contents[0].size() && contents[0][depth] == ' ') ++depth;
      if (static_cast<int>(depth) > previousDepth + 1)
        return Fail(source, lineNo, "topic more than one level deeper than the one before");
      previousDepth = static_cast<int>(depth);
      if (contents[0].size() == depth) return Fail(source, lineNo, "topic without a title");
    } else if (topics == 0 && !line.empty() && line[0] != '-') {
      return Fail(source, lineNo, "text before the first topic would never be shown");
    }
    gbk += converted + "\r\n";
  }
  if (topics < 10 || topics > 20)
    return Fail(source, 0, "the manual has " + std::to_string(topics) + " topics (10 to 20 wanted)");
  if (!WriteFileAtomic(output, gbk, &why)) return Fail(output, 0, "cannot write (" + why + ")");
  return 0;
}
