// Whole-file reading with a size cap and atomic writing (temporary file in
// the same folder, then rename), for the data files of the sky model and the
// settings store.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

enum class TReadResult { Ok, Missing, Unreadable };

// Reads at most maxBytes from the start of the file into `out`. Missing: no
// such file. Unreadable: it exists but cannot be opened or read (a folder,
// a pipe or device, no permission, an I/O error); `error` then says why.
TReadResult ReadFilePrefix(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out,
                           std::string* error = nullptr);

// Opens a regular file as a stream for reading. The open never blocks, so a
// pipe or device in the file's place is refused instead of hanging the
// program. nullptr when it is missing or not a readable regular file;
// `result` and `error` then say which and why.
std::FILE* OpenRegularFile(const std::string& path, TReadResult* result = nullptr,
                           std::string* error = nullptr);

// Writes `bytes` to "path.tmp-<pid>" and renames it over `path`, so that a
// reader never sees a half-written file. False (with `error`) on failure;
// the temporary file is then removed and `path` is unchanged.
bool WriteFileAtomic(const std::string& path, std::span<const uint8_t> bytes,
                     std::string* error = nullptr);
bool WriteFileAtomic(const std::string& path, const std::string& text,
                     std::string* error = nullptr);
