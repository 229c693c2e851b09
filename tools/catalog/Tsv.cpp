#include "Tsv.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "FileIo.h"
#include "../common/Fields.h"

void Fail(const std::string& message) {
  std::fprintf(stderr, "skyloom-catalogc: %s\n", message.c_str());
  std::exit(1);
}

TTsv::TTsv(const std::string& path) : path_(path) {
  std::string text, why;
  if (!ReadTextFile(path, 64u << 20, text, &why)) Fail(path + ": cannot be read (" + why + ")");
  std::istringstream in(text);
  std::string line;
  bool header = true;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    auto fields = SplitTabs(line);
    if (header) {
      for (size_t i = 0; i < fields.size(); ++i) columns_[fields[i]] = i;
      header = false;
    } else {
      rows_.push_back(std::move(fields));
    }
  }
  if (header) Fail(path + " is empty");
}

size_t TTsv::Column(const std::string& name) const {
  auto it = columns_.find(name);
  if (it == columns_.end()) Fail(path_ + " has no column \"" + name + "\"");
  return it->second;
}

const std::string& TTsv::Text(size_t r, const std::string& column) const {
  static const std::string empty;
  const size_t c = Column(column);
  return c < rows_.at(r).size() ? rows_[r][c] : empty;
}

double TTsv::Number(size_t r, const std::string& column) const {
  const std::string& t = Text(r, column);
  char* end = nullptr;
  const double v = std::strtod(t.c_str(), &end);
  if (t.empty() || *end != '\0' || !std::isfinite(v))
    Fail(path_ + " row " + std::to_string(r + 1) + ": column \"" + column +
         "\" is not a number: \"" + t + "\"");
  return v;
}

long TTsv::Integer(size_t r, const std::string& column) const {
  const std::string& t = Text(r, column);
  char* end = nullptr;
  const long v = std::strtol(t.c_str(), &end, 10);
  if (t.empty() || *end != '\0')
    Fail(path_ + " row " + std::to_string(r + 1) + ": column \"" + column +
         "\" is not an integer: \"" + t + "\"");
  return v;
}
