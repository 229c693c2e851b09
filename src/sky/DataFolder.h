// Where the program's files lie: the read-only data folder (catalogue,
// stories, pictures, sounds, music, interface description, manual and the
// shows that come with the program) and the user's own show folder.
#pragma once

#include <string>

// A file every data folder holds; a folder without it is no data folder.
inline constexpr const char* DataFolderMark = "StarData.dat";
// The variable that names the data folder outright.
inline constexpr const char* DataFolderVariable = "SKYLOOM_DATA";

// The folder of the running program (from /proc/self/exe); empty when the
// system does not say.
std::string RunningProgramFolder();

// The data folder of a program in `programFolder`: the folder $SKYLOOM_DATA
// names when that is set; else `programFolder` itself when it holds the data
// (the build's runtime folder); else `programFolder`/../share/skyloom (an
// installed program). Empty when none of them holds the data; `error` then
// reads "FILE: what is wrong (the folders looked in)" for the caller to
// prefix with its own name.
std::string FindDataFolder(const std::string& programFolder, std::string& error);

// The user's own shows: $XDG_DATA_HOME/skyloom/shows when XDG_DATA_HOME is
// an absolute path, else $HOME/.local/share/skyloom/shows; empty when
// neither is known. The folder may not exist yet.
std::string UserShowFolder();
