// GBK <-> UTF-8 conversion (the CP936 flavour of GBK, as the data files and
// the string table use). Invalid bytes become '?' and conversion goes on.
#pragma once

#include <string>
#include <string_view>

std::string GbkToUtf8(std::string_view gbk);
// Characters GBK cannot hold become '?'; `ok` (if given) tells whether all
// of the text could be converted.
std::string Utf8ToGbk(std::string_view utf8, bool* ok = nullptr);
// Trims blanks (spaces, tabs, CR, LF) at both ends, as the labels do.
std::string Trim(std::string_view text);
