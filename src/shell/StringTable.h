// The program's string table: user-visible texts by number (ids 1..59 and
// 101..114), returned in GBK like every text of the program. Unknown ids
// give an empty string.
#pragma once

#include <string>

const std::string& LoadStr(int id);
