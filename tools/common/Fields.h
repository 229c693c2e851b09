// Fields of one line of a tab-separated source table (the data/ tables):
// every tab ends a field, so empty fields and a trailing empty field count.
#pragma once

#include <string>
#include <vector>

inline std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> out;
  size_t start = 0;
  while (true) {
    const size_t tab = line.find('\t', start);
    out.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return out;
    start = tab + 1;
  }
}
