// Objects by the names a teacher uses: a constellation's Chinese or English
// name or its abbreviation (猎户座, 猎户, Orion, Ori), a solar-system body
// (火星, Mars), an asterism (参宿, or its English name) or a Messier code
// (M31, m 31). Used by the command line's --goto and the script step goto.
#pragma once

#include <string>
#include <string_view>

class TSkyloom;

// The object number of a name given in UTF-8 (1..99 constellations,
// 101..110 bodies, 201..600 asterisms, 1001..1100 Messier objects), or 0
// when no object has that name. Letters match in any case and runs of
// blanks count as one.
int FindObjectByName(const TSkyloom& sky, std::string_view utf8Name);

// The message for a name that names nothing (UTF-8, several lines), telling
// how objects are named.
std::string UnknownObjectMessage(std::string_view utf8Name);
