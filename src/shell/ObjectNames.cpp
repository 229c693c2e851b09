#include "ObjectNames.h"

#include <cctype>

#include "Gbk.h"
#include "GoTo.h"
#include "SkyModel.h"

namespace {

// Lower-case letters, one blank for a run of blanks, none at the ends; bytes
// above 0x7F (GBK) are kept as they are.
std::string Folded(std::string_view text) {
  std::string out;
  bool blank = false;
  for (char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == 0xA0) {
      blank = !out.empty();
      continue;
    }
    if (blank) out += ' ';
    blank = false;
    out += c < 0x80 ? static_cast<char>(std::tolower(c)) : ch;
  }
  return out;
}

bool Same(std::string_view stored, const std::string& wanted) {
  return !wanted.empty() && Folded(stored) == wanted;
}

const char* const EnglishBodies[11] = {"",        "sun",    "moon",   "mercury", "venus", "mars",
                                       "jupiter", "saturn", "uranus", "neptune", "pluto"};

// "M31", "m 31", "M031" -> 31; 0 when the text is no Messier code.
int MessierNumber(const std::string& folded) {
  if (folded.size() < 2 || folded[0] != 'm') return 0;
  size_t p = 1;
  if (p < folded.size() && folded[p] == ' ') ++p;
  if (p >= folded.size() || folded.size() - p > 4) return 0;
  int n = 0;
  for (; p < folded.size(); ++p) {
    if (!std::isdigit(static_cast<unsigned char>(folded[p]))) return 0;
    n = n * 10 + (folded[p] - '0');
  }
  return n;
}

}  // namespace

int FindObjectByName(const TSkyloom& sky, std::string_view utf8Name) {
  const std::string wanted = Folded(Utf8ToGbk(utf8Name));
  if (wanted.empty()) return 0;
  const std::string zuo = Utf8ToGbk("座");  // the "constellation" ending
  for (int c = 1; c <= 99; ++c) {
    const TSkyObject& o = sky.Consts[c];
    if (o.Name.empty()) continue;
    const std::string name = Folded(o.Name.view());
    const bool withoutEnding = name.size() > zuo.size() &&
                               name.compare(name.size() - zuo.size(), zuo.size(), zuo) == 0 &&
                               name.substr(0, name.size() - zuo.size()) == wanted;
    if (name == wanted || withoutEnding || Same(o.EName.view(), wanted) ||
        Same(o.EShort.view(), wanted))
      return c;
  }
  for (int b = 1; b <= 10; ++b)
    if (Folded(BodyName(b)) == wanted || wanted == EnglishBodies[b]) return 100 + b;
  for (int a = 1; a <= MaxOffices; ++a) {
    const TSkyObject& o = sky.Offices[a];
    if (Same(o.Name.view(), wanted) || Same(o.EName.view(), wanted)) return 200 + a;
  }
  if (const int m = MessierNumber(wanted)) {
    for (int k = 1; k <= MaxMessier; ++k)
      if (MessierNumber(Folded(sky.MessierNames[k].Code.view())) == m) return 1000 + k;
  }
  return 0;
}

std::string UnknownObjectMessage(std::string_view utf8Name) {
  std::string shown;
  for (char c : utf8Name.substr(0, 60)) shown += (c >= 0 && c < 0x20) ? '?' : c;
  return "no object is named \"" + shown +
         "\"; name one of these:\n"
         "  a constellation by its Chinese or English name or abbreviation (猎户座, 猎户, "
         "Orion, Ori)\n"
         "  the Sun, the Moon or a planet (太阳, 月亮, 水星, 金星, 火星 ... 冥王星; Sun, Moon, "
         "Mercury, Venus, Mars ... Pluto)\n"
         "  a Chinese asterism (参宿, 北斗) or its English name\n"
         "  a Messier object by its number (M31, M42)";
}
