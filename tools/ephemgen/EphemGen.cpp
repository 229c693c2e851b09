// skyloom-ephemgen: turns the plain-text coefficient tables of
// data/ephemeris into one C++ source of constant arrays for skyloom_astro.
//
//   skyloom-ephemgen <ephemeris folder> <output .cpp>
//
// Every coefficient is pasted into the source as the very text of the table,
// so the compiler does the only decimal-to-binary conversion. The tables are
// checked against the published figures (term counts, MaxHarmonic rows,
// Distance, coefficient counts, argument ranges); any difference, and any
// malformed or truncated file, stops the build with a message on stderr and
// leaves no output behind. The output is written to a temporary file and
// renamed into place.
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "FileIo.h"

namespace {

struct TFail : std::runtime_error {
  using std::runtime_error::runtime_error;
};

[[noreturn]] void Fail(const std::string& file, const std::string& what) {
  throw TFail(file + ": " + what);
}

// The published figures the tables must meet.
struct TExpected {
  const char* File;
  const char* Symbol;
  int ArgCount;
  std::vector<int> MaxHarmonic;
  int PeriodicTerms;
  int CoefsPerStream;
  double Distance;
  std::vector<std::string> Streams;
};

const std::vector<TExpected>& ExpectedTables() {
  static const std::vector<TExpected> tables = {
      {"mercury.txt", "Mercury", 9, {11, 14, 10, 11, 4, 5, 2, 0, 0}, 129, 400, 0.3870983098,
       {"lon", "lat", "rad"}},
      {"venus.txt", "Venus", 9, {5, 14, 13, 8, 4, 5, 1, 0, 0}, 107, 284, 0.72332982,
       {"lon", "lat", "rad"}},
      {"mars.txt", "Mars", 9, {0, 5, 12, 24, 9, 7, 3, 2, 0}, 200, 677, 1.53033488271,
       {"lon", "lat", "rad"}},
      {"jupiter.txt", "Jupiter", 9, {0, 0, 1, 0, 9, 16, 7, 5, 0}, 141, 595, 5.2026032092,
       {"lon", "lat", "rad"}},
      {"saturn.txt", "Saturn", 9, {0, 0, 1, 0, 8, 18, 9, 5, 0}, 214, 788, 9.55758135486,
       {"lon", "lat", "rad"}},
      {"uranus.txt", "Uranus", 9, {0, 0, 0, 0, 5, 10, 9, 12, 0}, 176, 532, 19.2184460618,
       {"lon", "lat", "rad"}},
      {"neptune.txt", "Neptune", 9, {0, 0, 0, 0, 3, 8, 7, 9, 0}, 58, 162, 30.1103868694,
       {"lon", "lat", "rad"}},
      {"pluto.txt", "Pluto", 9, {0, 0, 0, 0, 2, 2, 9, 13, 13}, 172, 604, 39.54,
       {"lon", "lat", "rad"}},
      // The lunar tables: longitude and radius, 631 terms; latitude, 360 terms.
      {"moon_lr.txt", "MoonLonRad", 14, {3, 26, 29, 23, 5, 10, 0, 0, 0, 8, 4, 4, 6, 2}, 631, 1562,
       0.00257356868953, {"lon", "rad"}},
      {"moon_lat.txt", "MoonLat", 14, {0, 26, 29, 8, 3, 5, 0, 0, 0, 6, 5, 3, 5, 1}, 360, 850, 0.0,
       {"lat"}},
  };
  return tables;
}

// VSOP87B Earth term counts for tau^0 .. tau^5.
const std::map<std::string, std::vector<int>> ExpectedVsop = {
    {"L", {623, 379, 144, 23, 11, 4}},
    {"B", {184, 134, 62, 14, 6, 2}},
    {"R", {523, 290, 134, 20, 9, 2}},
};

// Mean longitudes of the planet theory: frequency ("/10000 yr), phase (").
const double ExpectedArgFrequency[9] = {53810162868.8982, 21066413643.3548, 12959774228.3429,
                                        6890507749.3988,  1092566037.7991,  439960985.5372,
                                        154248119.3933,   78655032.0744,    52272245.1795};
const double ExpectedArgPhase[9] = {908103.259872, 655127.28306, 361679.244588,
                                    1279558.798488, 123665.467464, 180278.79948,
                                    1130598.018396, 1095655.195728, 860492.1546};

constexpr size_t MaxFileBytes = 8 << 20;
constexpr int MaxMultiples = 29;

std::string ReadFile(const std::string& folder, const std::string& name) {
  const std::string path = folder + "/" + name;
  std::vector<uint8_t> bytes;
  std::string why;
  if (ReadWholeFile(path, MaxFileBytes, bytes, &why) != TReadResult::Ok)
    Fail(name, "cannot read " + path + " (" + why + ")");
  return std::string(bytes.begin(), bytes.end());
}

// Lines without comments, split into tokens; blank lines dropped. Each line
// remembers its number for messages.
struct TLine {
  int Number;
  std::vector<std::string> Tokens;
};

std::vector<TLine> Tokenize(const std::string& text) {
  std::vector<TLine> lines;
  std::istringstream in(text);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    size_t hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    TLine parsed{number, {}};
    std::string word;
    while (words >> word) parsed.Tokens.push_back(word);
    if (!parsed.Tokens.empty()) lines.push_back(std::move(parsed));
  }
  return lines;
}

// A decimal number token: optional sign, digits with at most one point,
// optional exponent. Only such tokens reach the generated source.
bool IsNumberToken(const std::string& s) {
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  size_t digits = 0, points = 0;
  for (; i < s.size() && (std::isdigit(static_cast<unsigned char>(s[i])) || s[i] == '.'); ++i) {
    if (s[i] == '.') ++points; else ++digits;
  }
  if (digits == 0 || points > 1) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t expDigits = 0;
    for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i) ++expDigits;
    if (expDigits == 0 || expDigits > 3) return false;
  }
  return i == s.size();
}

double NumberOf(const std::string& file, const TLine& line, const std::string& token) {
  if (!IsNumberToken(token))
    Fail(file, "line " + std::to_string(line.Number) + ": not a number: '" + token + "'");
  double value = std::strtod(token.c_str(), nullptr);
  if (!std::isfinite(value))
    Fail(file, "line " + std::to_string(line.Number) + ": number out of range: " + token);
  return value;
}

long IntegerOf(const std::string& file, const TLine& line, const std::string& token, long lo,
               long hi) {
  char* end = nullptr;
  long value = std::strtol(token.c_str(), &end, 10);
  if (token.empty() || *end != '\0' || value < lo || value > hi)
    Fail(file, "line " + std::to_string(line.Number) + ": expected an integer in [" +
                   std::to_string(lo) + ", " + std::to_string(hi) + "], found '" + token + "'");
  return value;
}

// A double literal from a table token, as written (integers get ".0").
std::string Literal(const std::string& token) {
  if (token.find_first_of(".eE") == std::string::npos) return token + ".0";
  return token;
}

// Exact decimal product of a number token and a whole factor (degrees to arc
// seconds): the digits are multiplied as an integer and the point put back.
std::string TimesExact(const std::string& file, const std::string& token, unsigned factor) {
  if (!IsNumberToken(token) || token.find_first_of("eE") != std::string::npos)
    Fail(file, "phase in degrees must be a plain decimal: '" + token + "'");
  bool negative = token[0] == '-';
  std::string body = (token[0] == '-' || token[0] == '+') ? token.substr(1) : token;
  size_t point = body.find('.');
  size_t scale = point == std::string::npos ? 0 : body.size() - point - 1;
  std::string digits = point == std::string::npos ? body : body.substr(0, point) + body.substr(point + 1);
  if (digits.size() > 30) Fail(file, "phase has too many digits: '" + token + "'");
  // Long multiplication on the decimal digits.
  std::string product(digits.size() + 10, '0');
  unsigned carry = 0;
  size_t out = product.size();
  for (size_t i = digits.size(); i-- > 0;) {
    unsigned v = static_cast<unsigned>(digits[i] - '0') * factor + carry;
    product[--out] = static_cast<char>('0' + v % 10);
    carry = v / 10;
  }
  while (carry) {
    product[--out] = static_cast<char>('0' + carry % 10);
    carry /= 10;
  }
  product = product.substr(out);
  while (product.size() <= scale) product.insert(product.begin(), '0');
  std::string result = product.substr(0, product.size() - scale);
  std::string fraction = product.substr(product.size() - scale);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  size_t lead = result.find_first_not_of('0');
  result = lead == std::string::npos ? "0" : result.substr(lead);
  return (negative ? "-" : "") + result + "." + (fraction.empty() ? "0" : fraction);
}

// ---------------------------------------------------------------- PLAN404

struct TParsedTable {
  std::map<std::string, TLine> Header;
  std::map<std::string, std::vector<std::string>> Blocks;  // tokens of each block
  std::map<std::string, TLine> BlockStart;
};

TParsedTable ParsePlanTable(const std::string& file, const std::vector<TLine>& lines) {
  TParsedTable table;
  std::string open;
  for (const TLine& line : lines) {
    const std::string& key = line.Tokens[0];
    if (!open.empty()) {
      if (key == "end") {
        if (line.Tokens.size() != 2 || line.Tokens[1] != open)
          Fail(file, "line " + std::to_string(line.Number) + ": 'end " + open + "' expected");
        open.clear();
      } else {
        for (const std::string& t : line.Tokens) table.Blocks[open].push_back(t);
      }
      continue;
    }
    if (key == "begin") {
      if (line.Tokens.size() != 3)
        Fail(file, "line " + std::to_string(line.Number) + ": 'begin <block> <count>' expected");
      open = line.Tokens[1];
      if (table.Blocks.count(open))
        Fail(file, "line " + std::to_string(line.Number) + ": block '" + open + "' repeated");
      table.Blocks[open];
      table.BlockStart[open] = line;
      continue;
    }
    if (line.Tokens.size() < 2)
      Fail(file, "line " + std::to_string(line.Number) + ": header line without value");
    if (table.Header.count(key))
      Fail(file, "line " + std::to_string(line.Number) + ": header '" + key + "' repeated");
    table.Header[key] = line;
  }
  if (!open.empty()) Fail(file, "block '" + open + "' is not closed (file cut short?)");
  return table;
}

const TLine& HeaderLine(const std::string& file, const TParsedTable& t, const std::string& key) {
  auto it = t.Header.find(key);
  if (it == t.Header.end()) Fail(file, "header '" + key + "' missing");
  return it->second;
}

// Checks one planet or lunar table and returns its generated source.
std::string GeneratePlanTable(const std::string& folder, const TExpected& expected) {
  const std::string file = expected.File;
  TParsedTable t = ParsePlanTable(file, Tokenize(ReadFile(folder, file)));

  const TLine& format = HeaderLine(file, t, "format");
  if (format.Tokens.size() != 3 || format.Tokens[1] != "plan404-text" || format.Tokens[2] != "1")
    Fail(file, "not a 'plan404-text 1' table");

  const TLine& nargsLine = HeaderLine(file, t, "nargs");
  int nargs = static_cast<int>(IntegerOf(file, nargsLine, nargsLine.Tokens[1], 1, 14));
  if (nargs != expected.ArgCount)
    Fail(file, "nargs " + std::to_string(nargs) + ", published " +
                   std::to_string(expected.ArgCount));

  const TLine& mhLine = HeaderLine(file, t, "max_harmonic");
  if (static_cast<int>(mhLine.Tokens.size()) != nargs + 1)
    Fail(file, "max_harmonic must list " + std::to_string(nargs) + " values");
  std::vector<int> maxHarmonic;
  for (int k = 0; k < nargs; ++k)
    maxHarmonic.push_back(
        static_cast<int>(IntegerOf(file, mhLine, mhLine.Tokens[k + 1], 0, MaxMultiples)));
  if (maxHarmonic != expected.MaxHarmonic)
    Fail(file, "MaxHarmonic row differs from the published table");

  const TLine& distLine = HeaderLine(file, t, "distance");
  double distance = NumberOf(file, distLine, distLine.Tokens[1]);
  if (distance != expected.Distance)
    Fail(file, "Distance " + distLine.Tokens[1] + " differs from the published value");

  const TLine& powerLine = HeaderLine(file, t, "max_power_of_t");
  int maxPower = static_cast<int>(IntegerOf(file, powerLine, powerLine.Tokens[1], 0, 20));

  const TLine& polyLine = HeaderLine(file, t, "polynomial_terms");
  if (IntegerOf(file, polyLine, polyLine.Tokens[1], 0, 100) != 1)
    Fail(file, "exactly one polynomial term expected");
  const TLine& periodicLine = HeaderLine(file, t, "periodic_terms");
  long periodicHeader = IntegerOf(file, periodicLine, periodicLine.Tokens[1], 0, 100000);
  if (periodicHeader != expected.PeriodicTerms)
    Fail(file, "periodic_terms " + std::to_string(periodicHeader) + ", published " +
                   std::to_string(expected.PeriodicTerms));

  const TLine& streamsLine = HeaderLine(file, t, "streams");
  std::vector<std::string> streams(streamsLine.Tokens.begin() + 1, streamsLine.Tokens.end());
  if (streams != expected.Streams) Fail(file, "unexpected coefficient streams");
  const TLine& coefLine = HeaderLine(file, t, "coefs_per_stream");
  long coefsPerStream = IntegerOf(file, coefLine, coefLine.Tokens[1], 0, 1000000);
  if (coefsPerStream != expected.CoefsPerStream)
    Fail(file, "coefs_per_stream " + std::to_string(coefsPerStream) + ", published " +
                   std::to_string(expected.CoefsPerStream));

  // The term directory.
  auto argsIt = t.Blocks.find("args");
  if (argsIt == t.Blocks.end()) Fail(file, "block 'args' missing");
  const TLine& argsStart = t.BlockStart["args"];
  const TLine& argBytesLine = HeaderLine(file, t, "arg_bytes");
  long argBytes = IntegerOf(file, argBytesLine, argBytesLine.Tokens[1], 1, 1000000);
  std::vector<int> args;
  for (const std::string& tok : argsIt->second)
    args.push_back(static_cast<int>(IntegerOf(file, argsStart, tok, -128, 127)));
  if (static_cast<long>(args.size()) != argBytes ||
      IntegerOf(file, argsStart, argsStart.Tokens[2], 0, 1000000) != argBytes)
    Fail(file, "args block holds " + std::to_string(args.size()) + " bytes, header says " +
                   std::to_string(argBytes));

  // Walk the directory as the evaluator will, counting terms and the
  // coefficients each stream consumes, and proving every index in range.
  size_t p = 0;
  auto next = [&](const char* what) {
    if (p >= args.size()) Fail(file, std::string("term directory ends inside a term (") + what + ")");
    return args[p++];
  };
  long polynomialTerms = 0, periodicTerms = 0, consumed = 0;
  for (;;) {
    int np = next("np");
    if (np < 0) break;
    if (np == 0) {
      int nt = next("nt");
      if (nt < 0 || nt > maxPower) Fail(file, "polynomial degree out of range");
      ++polynomialTerms;
      consumed += nt + 1;
      continue;
    }
    if (np > nargs) Fail(file, "term with more pairs than arguments");
    for (int i = 0; i < np; ++i) {
      int j = next("multiple");
      int m = next("argument");
      if (m < 1 || m > nargs) Fail(file, "argument number " + std::to_string(m) + " out of range");
      if (j == 0) continue;
      if (std::abs(j) > maxHarmonic[static_cast<size_t>(m - 1)])
        Fail(file, "multiple " + std::to_string(j) + " of argument " + std::to_string(m) +
                       " beyond its MaxHarmonic");
    }
    int nt = next("nt");
    if (nt < 0 || nt > maxPower) Fail(file, "term degree out of range");
    ++periodicTerms;
    consumed += 2 * (nt + 1);
  }
  if (p != args.size()) Fail(file, "bytes after the end of the term directory");
  if (polynomialTerms != 1) Fail(file, "exactly one polynomial term expected in the directory");
  if (periodicTerms != expected.PeriodicTerms)
    Fail(file, "term directory holds " + std::to_string(periodicTerms) +
                   " periodic terms, published " + std::to_string(expected.PeriodicTerms));
  if (consumed != coefsPerStream)
    Fail(file, "term directory uses " + std::to_string(consumed) +
                   " coefficients per stream, table has " + std::to_string(coefsPerStream));

  std::ostringstream out;
  const std::string sym = expected.Symbol;
  out << "// " << file << "\n";
  out << "const signed char " << sym << "Args[" << args.size() << "] = {";
  for (size_t i = 0; i < args.size(); ++i) out << (i % 24 ? " " : "\n  ") << args[i] << ",";
  out << "\n};\n";
  for (const std::string& s : streams) {
    auto block = t.Blocks.find(s);
    if (block == t.Blocks.end()) Fail(file, "block '" + s + "' missing");
    const TLine& start = t.BlockStart[s];
    if (static_cast<long>(block->second.size()) != coefsPerStream ||
        IntegerOf(file, start, start.Tokens[2], 0, 1000000) != coefsPerStream)
      Fail(file, "block '" + s + "' holds " + std::to_string(block->second.size()) +
                     " coefficients, expected " + std::to_string(coefsPerStream));
    out << "const double " << sym << "_" << s << "[" << coefsPerStream << "] = {";
    for (size_t i = 0; i < block->second.size(); ++i) {
      NumberOf(file, start, block->second[i]);
      out << (i % 4 ? " " : "\n  ") << Literal(block->second[i]) << ",";
    }
    out << "\n};\n";
  }
  auto streamRef = [&](const std::string& s) {
    for (const std::string& have : streams)
      if (have == s) return sym + "_" + s;
    return std::string("nullptr");
  };
  out << "}  // namespace\n\n";
  out << "const TPlanetTable " << sym << "Table = {\n  \"" << sym << "\", " << nargs << ", {";
  for (int k = 0; k < nargs; ++k) out << (k ? ", " : "") << maxHarmonic[static_cast<size_t>(k)];
  out << "},\n  " << sym << "Args, " << args.size() << ",\n  " << streamRef("lon") << ", "
      << streamRef("lat") << ", " << streamRef("rad") << ",\n  " << coefsPerStream << ", "
      << periodicTerms << ", " << Literal(distLine.Tokens[1]) << ",\n};\n\nnamespace {\n\n";
  return out.str();
}

// ---------------------------------------------------------------- arguments

std::string GeneratePlanetArgs(const std::string& folder) {
  const std::string file = "plan404_args.txt";
  std::vector<TLine> lines = Tokenize(ReadFile(folder, file));
  if (lines.empty() || lines[0].Tokens.size() != 3 || lines[0].Tokens[0] != "format" ||
      lines[0].Tokens[1] != "plan404-args" || lines[0].Tokens[2] != "1")
    Fail(file, "not a 'plan404-args 1' file");
  std::vector<std::string> freq(9), phase(9);
  std::vector<bool> seen(9, false);
  for (size_t i = 1; i < lines.size(); ++i) {
    const TLine& l = lines[i];
    if (l.Tokens.size() != 6 || l.Tokens[0] != "arg")
      Fail(file, "line " + std::to_string(l.Number) + ": 'arg k name freq phase unit' expected");
    size_t k = static_cast<size_t>(IntegerOf(file, l, l.Tokens[1], 1, 9) - 1);
    if (seen[k]) Fail(file, "argument " + l.Tokens[1] + " repeated");
    seen[k] = true;
    NumberOf(file, l, l.Tokens[3]);
    freq[k] = Literal(l.Tokens[3]);
    NumberOf(file, l, l.Tokens[4]);
    if (l.Tokens[5] == "deg") phase[k] = TimesExact(file, l.Tokens[4], 3600);
    else if (l.Tokens[5] == "arcsec") phase[k] = Literal(l.Tokens[4]);
    else Fail(file, "line " + std::to_string(l.Number) + ": unit must be deg or arcsec");
    if (std::strtod(freq[k].c_str(), nullptr) != ExpectedArgFrequency[k] ||
        std::strtod(phase[k].c_str(), nullptr) != ExpectedArgPhase[k])
      Fail(file, "argument " + l.Tokens[1] + " differs from the published mean longitude");
  }
  for (size_t k = 0; k < 9; ++k)
    if (!seen[k]) Fail(file, "argument " + std::to_string(k + 1) + " missing");
  std::ostringstream out;
  out << "}  // namespace\n\n// " << file << " (phases in arc seconds)\n";
  out << "const double PlanetArgFrequency[9] = {";
  for (size_t k = 0; k < 9; ++k) out << "\n  " << freq[k] << ",";
  out << "\n};\nconst double PlanetArgPhase[9] = {";
  for (size_t k = 0; k < 9; ++k) out << "\n  " << phase[k] << ",";
  out << "\n};\n\nnamespace {\n\n";
  return out.str();
}

std::string GenerateMoonArgs(const std::string& folder) {
  const std::string file = "moon_args.txt";
  std::vector<TLine> lines = Tokenize(ReadFile(folder, file));
  if (lines.empty() || lines[0].Tokens.size() != 3 || lines[0].Tokens[0] != "format" ||
      lines[0].Tokens[1] != "moon-args" || lines[0].Tokens[2] != "1")
    Fail(file, "not a 'moon-args 1' file");
  constexpr size_t MaxPoly = 12;
  std::vector<std::string> rate(14, "0.0"), constant(14, "0.0");
  std::vector<std::vector<std::string>> poly(14);
  std::vector<bool> seen(14, false);
  for (size_t i = 1; i < lines.size(); ++i) {
    const TLine& l = lines[i];
    if (l.Tokens.size() < 5 || l.Tokens[0] != "marg")
      Fail(file, "line " + std::to_string(l.Number) + ": 'marg k name rate const ...' expected");
    size_t k = static_cast<size_t>(IntegerOf(file, l, l.Tokens[1], 1, 14) - 1);
    if (seen[k]) Fail(file, "argument " + l.Tokens[1] + " repeated");
    seen[k] = true;
    NumberOf(file, l, l.Tokens[3]);
    NumberOf(file, l, l.Tokens[4]);
    rate[k] = Literal(l.Tokens[3]);
    constant[k] = Literal(l.Tokens[4]);
    if (l.Tokens.size() - 5 > MaxPoly) Fail(file, "too many polynomial coefficients");
    for (size_t c = 5; c < l.Tokens.size(); ++c) {
      NumberOf(file, l, l.Tokens[c]);
      poly[k].push_back(Literal(l.Tokens[c]));
    }
  }
  for (size_t k = 0; k < 14; ++k)
    if (!seen[k]) Fail(file, "argument " + std::to_string(k + 1) + " missing");
  if (!poly[8].empty() || std::strtod(rate[8].c_str(), nullptr) != 0)
    Fail(file, "argument 9 must be unused (0 0)");
  std::ostringstream out;
  out << "}  // namespace\n\n// " << file
      << ": arc seconds = ReduceArcsec(rate T + const) + (c0 + c1 T + ...) T^2\n";
  out << "const double MoonArgRate[14] = {";
  for (auto& s : rate) out << "\n  " << s << ",";
  out << "\n};\nconst double MoonArgConst[14] = {";
  for (auto& s : constant) out << "\n  " << s << ",";
  out << "\n};\nconst int MoonArgPolyCount[14] = {";
  for (auto& p : poly) out << " " << p.size() << ",";
  out << " };\nconst double MoonArgPoly[14][" << MaxPoly << "] = {";
  for (auto& p : poly) {
    out << "\n  {";
    for (auto& s : p) out << s << ", ";
    out << "},";
  }
  out << "\n};\n\nnamespace {\n\n";
  return out.str();
}

// ---------------------------------------------------------------- VSOP87B

std::string GenerateEarth(const std::string& folder) {
  const std::string file = "earth_vsop87b.txt";
  std::vector<TLine> lines = Tokenize(ReadFile(folder, file));
  if (lines.empty() || lines[0].Tokens.size() != 3 || lines[0].Tokens[0] != "format" ||
      lines[0].Tokens[1] != "vsop87b-text" || lines[0].Tokens[2] != "1")
    Fail(file, "not a 'vsop87b-text 1' file");
  std::map<std::string, std::vector<std::vector<std::string>>> terms;  // coord -> alpha -> "A, B, C"
  std::map<std::string, std::vector<int>> counts;
  std::map<std::string, std::vector<bool>> done;
  for (auto& [c, v] : ExpectedVsop) {
    terms[c].resize(6);
    done[c].assign(6, false);
  }
  std::string openCoord;
  int openAlpha = -1;
  long openCount = 0;
  for (size_t i = 1; i < lines.size(); ++i) {
    const TLine& l = lines[i];
    const std::string& key = l.Tokens[0];
    std::string where = "line " + std::to_string(l.Number) + ": ";
    if (key == "count") {
      if (l.Tokens.size() != 8 || !ExpectedVsop.count(l.Tokens[1]))
        Fail(file, where + "'count <L|B|R> n0 .. n5' expected");
      std::vector<int> n;
      for (size_t a = 2; a < 8; ++a) n.push_back(static_cast<int>(IntegerOf(file, l, l.Tokens[a], 0, 100000)));
      counts[l.Tokens[1]] = n;
      continue;
    }
    if (key == "begin") {
      if (!openCoord.empty()) Fail(file, where + "block inside block");
      if (l.Tokens.size() != 4 || !ExpectedVsop.count(l.Tokens[1]))
        Fail(file, where + "'begin <L|B|R> alpha count' expected");
      openCoord = l.Tokens[1];
      openAlpha = static_cast<int>(IntegerOf(file, l, l.Tokens[2], 0, 5));
      openCount = IntegerOf(file, l, l.Tokens[3], 0, 100000);
      if (done[openCoord][static_cast<size_t>(openAlpha)]) Fail(file, where + "series repeated");
      continue;
    }
    if (key == "end") {
      if (openCoord.empty() || l.Tokens.size() != 3 || l.Tokens[1] != openCoord ||
          IntegerOf(file, l, l.Tokens[2], 0, 5) != openAlpha)
        Fail(file, where + "unmatched 'end'");
      auto& series = terms[openCoord][static_cast<size_t>(openAlpha)];
      if (static_cast<long>(series.size()) != openCount)
        Fail(file, where + "series " + openCoord + std::to_string(openAlpha) + " holds " +
                       std::to_string(series.size()) + " terms, header says " +
                       std::to_string(openCount));
      done[openCoord][static_cast<size_t>(openAlpha)] = true;
      openCoord.clear();
      continue;
    }
    if (openCoord.empty()) Fail(file, where + "term outside a series block");
    if (l.Tokens.size() != 5 || key != openCoord ||
        IntegerOf(file, l, l.Tokens[1], 0, 5) != openAlpha)
      Fail(file, where + "'" + openCoord + " " + std::to_string(openAlpha) + " A B C' expected");
    for (size_t a = 2; a < 5; ++a) NumberOf(file, l, l.Tokens[a]);
    std::string term =
        Literal(l.Tokens[2]) + ", " + Literal(l.Tokens[3]) + ", " + Literal(l.Tokens[4]);
    terms[openCoord][static_cast<size_t>(openAlpha)].push_back(term);
  }
  if (!openCoord.empty()) Fail(file, "series " + openCoord + " not closed (file cut short?)");

  std::ostringstream out;
  for (auto& [coord, expected] : ExpectedVsop) {
    if (counts[coord] != expected) Fail(file, "count line of " + coord + " differs from the published counts");
    for (size_t a = 0; a < 6; ++a) {
      if (!done[coord][a]) Fail(file, "series " + coord + std::to_string(a) + " missing");
      auto& series = terms[coord][a];
      if (static_cast<int>(series.size()) != expected[a])
        Fail(file, "series " + coord + std::to_string(a) + " holds " + std::to_string(series.size()) +
                       " terms, published " + std::to_string(expected[a]));
      out << "const TVsopTerm Earth" << coord << a << "[" << series.size() << "] = {\n";
      for (auto& t : series) out << "  {" << t << "},\n";
      out << "};\n";
    }
  }
  out << "}  // namespace\n\n";
  for (auto& [coord, expected] : ExpectedVsop) {
    out << "const TVsopSeries Earth" << coord << "[6] = {";
    for (size_t a = 0; a < 6; ++a)
      out << (a ? ", " : "") << "{Earth" << coord << a << ", " << expected[a] << "}";
    out << "};\n";
  }
  out << "\nnamespace {\n\n";
  return out.str();
}

void WriteAtomically(const std::string& path, const std::string& text) {
  std::string why;
  if (!WriteFileAtomic(path, text, &why)) throw TFail(path + ": cannot be written (" + why + ")");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: skyloom-ephemgen <ephemeris folder> <output .cpp>\n");
    return 2;
  }
  const std::string folder = argv[1];
  try {
    std::ostringstream src;
    src << "// Generated by skyloom-ephemgen from data/ephemeris. Do not edit.\n"
           "// The coefficient tables are published under the GNU General Public License\n"
           "// version 2 (see data/ephemeris/README.md); SPDX-License-Identifier: GPL-2.0-or-later\n"
           "#include \"EphemerisData.h\"\n#include \"Planets.h\"\n\nnamespace {\n\n";
    for (const TExpected& e : ExpectedTables()) src << GeneratePlanTable(folder, e);
    src << GeneratePlanetArgs(folder);
    src << GenerateMoonArgs(folder);
    src << GenerateEarth(folder);
    src << "}  // namespace\n\n"
           "const TPlanetTable* const PlanetTables[8] = {&MercuryTable, &VenusTable, &MarsTable,\n"
           "    &JupiterTable, &SaturnTable, &UranusTable, &NeptuneTable, &PlutoTable};\n";
    WriteAtomically(argv[2], src.str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "skyloom-ephemgen: %s\n", e.what());
    std::remove(argv[2]);
    return 1;
  }
  return 0;
}
