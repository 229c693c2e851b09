#include "MessierTable.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "FileIo.h"
#include "../common/Fields.h"

namespace {
float Number(const std::string& s, bool& present) {
  present = !s.empty();
  return present ? std::strtof(s.c_str(), nullptr) : 0.0f;
}
}  // namespace

bool ReadMessierShapes(const std::string& path, std::vector<MessierShape>& out, std::string& error) {
  std::string text, why;
  if (!ReadTextFile(path, 1u << 20, text, &why)) {
    error = path + ": cannot be read (" + why + ")";
    return false;
  }
  std::istringstream in(text);
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#' || lineNo == 1) continue;   // header
    const std::vector<std::string> f = SplitTabs(line);
    if (f.size() < 5 || f[0].size() < 2 || f[0][0] != 'M' || f[0].size() > 5) {
      error = path + ":" + std::to_string(lineNo) + ": malformed line";
      return false;
    }
    MessierShape m;
    bool present = false;
    m.Code = f[0];
    m.Type = f[1];
    m.Major = Number(f[2], present);
    m.Minor = Number(f[3], present);
    m.Angle = Number(f[4], m.HasAngle);
    out.push_back(m);
  }
  return true;
}
