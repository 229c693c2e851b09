// The program's string table: user-visible texts by number (ids 1..61 and
// 101..114), returned in GBK like every text of the program. Unknown ids
// give an empty string.
#pragma once

#include <string>

const std::string& LoadStr(int id);

// The status line of a first start in daylight moved to 21:00.
constexpr int StrNightfall = 60;
// The status line while time stands still.
constexpr int StrTimeStopped = 61;
