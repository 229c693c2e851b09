// Constellation stories: "StoryAll.dat", a GBK text file with CR LF line
// ends holding two lines per constellation in constellation-number order —
// line 2n-1 the Chinese story of constellation n, line 2n the English one.
#pragma once

#include <string>

inline constexpr const char* StoryFileName = "StoryAll.dat";

struct TStoryPair {
  std::string First;   // line 2n-1 (GBK): the Chinese story
  std::string Second;  // line 2n (GBK): the English story
};

// Reads the pair of constellation n from the file at `path`, pairing by line
// count only. n beyond the last pair gives the file's last line and an empty
// second line; a file that ends right after line 2n-1 gives an empty second
// line. A missing or unreadable file, anything but a regular file (a pipe
// cannot block the reader), or a file larger than MaxStoryBytes (checked
// before reading) gives two empty lines and one message on stderr. Lines end
// at LF; a CR before it is dropped. A line longer than MaxStoryLine bytes
// keeps only its first MaxStoryLine bytes.
constexpr size_t MaxStoryLine = 65536;
constexpr size_t MaxStoryBytes = 16u << 20;  // the stories of 88 constellations take 100 KiB
TStoryPair ReadStoryPair(const std::string& path, long long n);
