// Scripts: a text file of steps fed to the running program frame by frame,
// with no wall clock, so a script gives the same pictures on every machine.
//
//   key NAME            press and release a key (SDL key names: Left, R, Return ...)
//   keydown NAME        hold a key          keyup NAME      release it
//   move X Y            move the pointer    click X Y [left|right]
//   mousedown X Y [b]   mouseup X Y [b]
//   wait N              run N frames
//   shot FILE.png       save the last drawn frame (relative to the caller's folder)
//   command N           execute command code N (as a key, click or menu item would)
//   goto NAME           send the view travelling to an object (as --goto NAME)
//   quit                end the program
// Blank lines and lines starting with '#' are ignored.
#pragma once

#include <string>
#include <vector>

class TFormSky;

struct TScriptStep {
  std::string Verb;
  std::vector<std::string> Args;
  int Line = 0;
};

// Parses a script; false with "line N: ..." for an unknown verb or bad arguments.
bool ParseScript(const std::string& text, std::vector<TScriptStep>& steps, std::string& error);

// Runs the script file (at most 1 MiB) on the form; paths of shots are
// relative to `baseFolder` (the caller's folder). False on a read or parse
// error or a failed shot.
bool RunScript(TFormSky& form, const std::string& file, const std::string& baseFolder = "");
bool RunScriptSteps(TFormSky& form, const std::vector<TScriptStep>& steps,
                    const std::string& baseFolder);
