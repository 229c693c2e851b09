// Reads the Messier shape table (tab-separated: code, type, major and minor
// axis in arc minutes, position angle in degrees; empty fields allowed).
#pragma once

#include <string>
#include <vector>

#include "Art.h"

bool ReadMessierShapes(const std::string& path, std::vector<MessierShape>& out, std::string& error);
