// Names of single stars: the proper names of the catalogue's named stars and
// Bayer names made of a star's Greek letter and its constellation.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class TSkyloom;

// The Greek letter (UTF-8, "α") and its Latin spelling ("alpha") of a star's
// Greek field (the letter's "Symbol" font character); "" when it has none.
std::string_view GreekLetter(uint8_t symbol);
std::string_view GreekSpelling(uint8_t symbol);

// The row (1..MaxStarNames) of the named star `star`, or 0.
int NamedStarRow(const TSkyloom& sky, int star);

// "α Ori" (UTF-8) for a star with a Greek letter in a constellation, else "".
std::string BayerName(const TSkyloom& sky, int star);

// The name the program shows for star `star` (UTF-8): its Chinese proper
// name, else its Bayer name, else "" .
std::string StarName(const TSkyloom& sky, int star);
