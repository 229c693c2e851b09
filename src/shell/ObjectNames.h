// Objects by the names a teacher uses: a constellation's Chinese or English
// name or its abbreviation (猎户座, 猎户, Orion, Ori), a solar-system body
// (火星, Mars), an asterism (参宿, or its English name), a Messier object by
// its code or its Chinese or English name (M42, 猎户座大星云, Orion Nebula),
// a named star by its Chinese or English name or its pinyin (天狼星, Sirius,
// tianlang) and a star by its Bayer name (α Ori, alpha Ori). Used by the
// command line's --goto and the script step goto.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class TSkyloom;

// The object number of a name given in UTF-8 (1..99 constellations,
// 101..110 bodies, 201..600 asterisms, 1001..1100 Messier objects,
// StarIdBase + n the star n), or 0 when no object has that name. Letters
// match in any case and blanks do not count.
int FindObjectByName(const TSkyloom& sky, std::string_view utf8Name);

// The UTF-8 name of object `id` as the program shows it ("" for none).
std::string ObjectNameOf(const TSkyloom& sky, int id);

// Up to `count` names (UTF-8) close to a name that names nothing, the
// closest first: names it begins, then names a few letters away.
std::vector<std::string> SimilarObjectNames(const TSkyloom& sky, std::string_view utf8Name,
                                            size_t count = 3);

// The message for a name that names nothing (UTF-8, several lines): the
// close names when there are any ("是不是 …？ did you mean …?"), then how
// objects are named.
std::string UnknownObjectMessage(const TSkyloom& sky, std::string_view utf8Name);
