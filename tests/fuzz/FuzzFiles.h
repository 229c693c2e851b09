// Helpers shared by the fuzz targets: most readers take a path, so each
// input is written to a file in a private folder made once per process.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The private folder of this fuzzing process (made on first use, removed at
// exit).
const std::string& FuzzFolder();
// Writes the input to FuzzFolder()/name (replacing it) and returns the path.
std::string FuzzInputFile(const uint8_t* data, size_t size, const std::string& name);
