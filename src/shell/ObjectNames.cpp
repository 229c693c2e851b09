#include "ObjectNames.h"

#include <algorithm>
#include <cctype>

#include "Gbk.h"
#include "GoTo.h"
#include "SkyModel.h"
#include "StarNaming.h"

namespace {

// The form names are compared in: GBK, lower-case letters, no blanks.
std::string Key(std::string_view gbk) {
  std::string out;
  for (char ch : gbk) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == 0xA0) continue;
    out += c < 0x80 ? static_cast<char>(std::tolower(c)) : ch;
  }
  return out;
}

std::string KeyOfUtf8(std::string_view utf8) { return Key(Utf8ToGbk(utf8)); }

const char* const EnglishBodies[11] = {"",        "Sun",    "Moon",   "Mercury", "Venus", "Mars",
                                       "Jupiter", "Saturn", "Uranus", "Neptune", "Pluto"};

// "m31", "m031" -> 31; 0 when the key is no Messier code.
int MessierNumber(const std::string& key) {
  if (key.size() < 2 || key.size() > 5 || key[0] != 'm') return 0;
  int n = 0;
  for (size_t p = 1; p < key.size(); ++p) {
    if (!std::isdigit(static_cast<unsigned char>(key[p]))) return 0;
    n = n * 10 + (key[p] - '0');
  }
  return n;
}

// One name of an object: its key and the text shown for it (UTF-8).
struct TName {
  std::string Key;
  int Id;
  std::string Shown;
};

// Every name the program knows, in the order a name is looked up: the
// constellations, bodies, named stars (a star named like the asterism it
// forms, 北落师门, is the star), asterisms, Messier objects, then the names
// of the name file.
std::vector<TName> AllNames(const TSkyloom& sky) {
  std::vector<TName> names;
  auto add = [&](std::string_view gbk, int id) {
    std::string k = Key(gbk);
    if (!k.empty()) names.push_back({std::move(k), id, GbkToUtf8(Trim(gbk))});
  };
  const std::string zuo = Utf8ToGbk("座");  // the "constellation" ending
  for (int c = 1; c <= 99; ++c) {
    const TSkyObject& o = sky.Consts[c];
    if (o.Name.empty()) continue;
    const std::string name = Trim(o.Name.view());
    add(name, c);
    if (name.size() > zuo.size() && name.compare(name.size() - zuo.size(), zuo.size(), zuo) == 0)
      add(name.substr(0, name.size() - zuo.size()), c);
    add(o.EName.view(), c);
    add(o.EShort.view(), c);
  }
  for (int b = 1; b <= 10; ++b) {
    add(BodyName(b), 100 + b);
    add(EnglishBodies[b], 100 + b);
  }
  for (int i = 1; i <= MaxStarNames; ++i) {
    const TStarName& n = sky.StarNames[i];
    if (n.Star < 1 || n.Star > MaxStars || n.Name.empty()) continue;
    add(n.Name.view(), StarIdBase + n.Star);
    add(n.EName.view(), StarIdBase + n.Star);
  }
  for (int a = 1; a <= MaxOffices; ++a) {
    add(sky.Offices[a].Name.view(), 200 + a);
    add(sky.Offices[a].EName.view(), 200 + a);
  }
  for (int m = 1; m <= MaxMessier; ++m) {
    if (sky.MessierNames[m].Code.empty()) continue;
    add(sky.MessierNames[m].Code.view(), 1000 + m);
    add(sky.MessierNames[m].Name.view(), 1000 + m);
  }
  for (const TSkyloom::TOtherName& o : sky.OtherNames) add(Utf8ToGbk(o.Name), o.Id);
  return names;
}

// A star by its Bayer name: a Greek letter (α or alpha) and a
// constellation's abbreviation or name; of several stars with the letter,
// the brightest. 0 when the key is none.
int FindBayerStar(const TSkyloom& sky, const std::string& key) {
  for (uint8_t symbol = 'a'; symbol <= 'z'; ++symbol) {
    for (const std::string_view greek : {GreekLetter(symbol), GreekSpelling(symbol)}) {
      if (greek.empty()) continue;
      const std::string g = KeyOfUtf8(greek);
      if (key.size() <= g.size() || key.compare(0, g.size(), g) != 0) continue;
      const std::string rest = key.substr(g.size());
      int owner = 0;
      for (int c = 1; c <= 99 && !owner; ++c) {
        const TSkyObject& o = sky.Consts[c];
        if (o.Name.empty()) continue;
        if (Key(o.EShort.view()) == rest || Key(o.EName.view()) == rest ||
            Key(o.Name.view()) == rest)
          owner = c;
      }
      if (!owner) continue;
      int best = 0;
      for (int s = 1; s <= std::min(sky.StarCount, MaxStars); ++s) {
        const TSkyPoint& p = sky.Stars[s];
        if (p.Owner == owner && p.Greek == symbol && (best == 0 || p.Mag < sky.Stars[best].Mag))
          best = s;
      }
      if (best) return StarIdBase + best;
    }
  }
  return 0;
}

// Edit distance of two keys (bytes), stopping early above `limit`.
size_t Distance(const std::string& a, const std::string& b, size_t limit) {
  if (a.size() > b.size() + limit || b.size() > a.size() + limit) return limit + 1;
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    size_t least = row[0];
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t up = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = up;
      least = std::min(least, row[j]);
    }
    if (least > limit) return limit + 1;
  }
  return row[b.size()];
}

}  // namespace

int FindObjectByName(const TSkyloom& sky, std::string_view utf8Name) {
  const std::string wanted = KeyOfUtf8(utf8Name);
  if (wanted.empty()) return 0;
  if (const int m = MessierNumber(wanted)) {
    for (int k = 1; k <= MaxMessier; ++k)
      if (MessierNumber(Key(sky.MessierNames[k].Code.view())) == m) return 1000 + k;
    return 0;
  }
  for (const TName& n : AllNames(sky))
    if (n.Key == wanted) return n.Id;
  return FindBayerStar(sky, wanted);
}

std::string ObjectNameOf(const TSkyloom& sky, int id) {
  if (id >= 1 && id <= 99) return GbkToUtf8(Trim(sky.Consts[id].Name.view()));
  if (id >= 101 && id <= 110) return GbkToUtf8(BodyName(id - 100));
  if (id >= 201 && id <= 200 + MaxOffices) return GbkToUtf8(Trim(sky.Offices[id - 200].Name.view()));
  if (id > 1000 && id <= 1000 + MaxMessier)
    return GbkToUtf8(Trim(sky.MessierNames[id - 1000].Code.view()));
  if (id > StarIdBase && id <= StarIdBase + MaxStars) return StarName(sky, id - StarIdBase);
  return "";
}

std::vector<std::string> SimilarObjectNames(const TSkyloom& sky, std::string_view utf8Name,
                                            size_t count) {
  const std::string wanted = KeyOfUtf8(utf8Name);
  std::vector<std::string> out;
  if (wanted.empty() || count == 0) return out;
  // A name a few letters away: about one in three may differ.
  const size_t limit = std::max<size_t>(2, wanted.size() / 3);
  struct TNear {
    size_t Rank;
    size_t Order;
    const TName* Name;
  };
  const std::vector<TName> names = AllNames(sky);
  std::vector<TNear> near;
  for (size_t i = 0; i < names.size(); ++i) {
    const TName& n = names[i];
    if (n.Key.size() > wanted.size() && n.Key.compare(0, wanted.size(), wanted) == 0) {
      near.push_back({0, i, &n});
      continue;
    }
    const size_t d = Distance(wanted, n.Key, limit);
    if (d <= limit) near.push_back({d, i, &n});
  }
  std::stable_sort(near.begin(), near.end(), [](const TNear& a, const TNear& b) {
    return a.Rank != b.Rank ? a.Rank < b.Rank : a.Order < b.Order;
  });
  // Each object once, by the spelling that came close and, when that is
  // not the name the program shows, that name too: "Orion（猎户座）".
  std::vector<int> ids;
  for (const TNear& n : near) {
    if (out.size() >= count) break;
    if (std::find(ids.begin(), ids.end(), n.Name->Id) != ids.end()) continue;
    ids.push_back(n.Name->Id);
    const std::string shown = ObjectNameOf(sky, n.Name->Id);
    out.push_back(shown.empty() || shown == n.Name->Shown ? n.Name->Shown
                                                          : n.Name->Shown + "（" + shown + "）");
  }
  return out;
}

std::string UnknownObjectMessage(const TSkyloom& sky, std::string_view utf8Name) {
  std::string shown;
  for (char c : utf8Name.substr(0, 60)) shown += (c >= 0 && c < 0x20) ? '?' : c;
  std::string text = "no object is named \"" + shown + "\"";
  const std::vector<std::string> similar = SimilarObjectNames(sky, utf8Name);
  if (!similar.empty()) {
    std::string list;
    for (const std::string& s : similar) list += (list.empty() ? "" : ", ") + s;
    text += "; did you mean " + list + "? (是不是：" + list + "？)";
  }
  return text +
         "\nname one of these:\n"
         "  a constellation by its Chinese or English name or abbreviation (猎户座, 猎户, "
         "Orion, Ori)\n"
         "  the Sun, the Moon or a planet (太阳, 月亮, 水星, 金星, 火星 ... 冥王星; Sun, Moon, "
         "Mercury, Venus, Mars ... Pluto)\n"
         "  a Chinese asterism (参宿, 北斗) or its English name\n"
         "  a Messier object by its number or name (M31, M42, 猎户座大星云, Orion Nebula)\n"
         "  a bright star by its Chinese or English name or pinyin (天狼星, Sirius, tianlang) "
         "or its Bayer name (α Ori, alpha Ori)";
}
