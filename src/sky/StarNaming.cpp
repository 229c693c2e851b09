#include "StarNaming.h"

#include "Gbk.h"
#include "SkyModel.h"

namespace {

struct TGreek {
  char Symbol;
  const char* Letter;
  const char* Spelling;
};

constexpr TGreek Greek[] = {
    {'a', "α", "alpha"}, {'b', "β", "beta"},   {'g', "γ", "gamma"},   {'d', "δ", "delta"},
    {'e', "ε", "epsilon"}, {'z', "ζ", "zeta"}, {'h', "η", "eta"},     {'q', "θ", "theta"},
    {'i', "ι", "iota"},  {'k', "κ", "kappa"},  {'l', "λ", "lambda"},  {'m', "μ", "mu"},
    {'n', "ν", "nu"},    {'x', "ξ", "xi"},     {'o', "ο", "omicron"}, {'p', "π", "pi"},
    {'r', "ρ", "rho"},   {'s', "σ", "sigma"},  {'t', "τ", "tau"},     {'u', "υ", "upsilon"},
    {'f', "φ", "phi"},   {'c', "χ", "chi"},    {'y', "ψ", "psi"},     {'w', "ω", "omega"},
};

const TGreek* GreekOf(uint8_t symbol) {
  for (const TGreek& g : Greek)
    if (static_cast<uint8_t>(g.Symbol) == symbol) return &g;
  return nullptr;
}

}  // namespace

std::string_view GreekLetter(uint8_t symbol) {
  const TGreek* g = GreekOf(symbol);
  return g ? g->Letter : "";
}

std::string_view GreekSpelling(uint8_t symbol) {
  const TGreek* g = GreekOf(symbol);
  return g ? g->Spelling : "";
}

int NamedStarRow(const TSkyloom& sky, int star) {
  if (star < 1) return 0;
  for (int i = 1; i <= MaxStarNames; ++i)
    if (sky.StarNames[i].Star == star && !sky.StarNames[i].Name.empty()) return i;
  return 0;
}

std::string BayerName(const TSkyloom& sky, int star) {
  if (star < 1 || star > MaxStars) return "";
  const TSkyPoint& s = sky.Stars[star];
  const std::string_view letter = GreekLetter(s.Greek);
  if (letter.empty() || s.Owner < 1 || s.Owner > MaxConsts) return "";
  const std::string abbr = Trim(sky.Consts[s.Owner].EShort.view());
  if (abbr.empty()) return "";
  return std::string(letter) + " " + abbr;
}

std::string StarName(const TSkyloom& sky, int star) {
  if (const int row = NamedStarRow(sky, star))
    return GbkToUtf8(Trim(sky.StarNames[row].Name.view()));
  return BayerName(sky, star);
}
