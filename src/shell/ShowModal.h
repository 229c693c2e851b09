// Dialogs over the running stage. A dialog is overlay state: opening one
// pushes it on the stage's dialog stack, together with what is to happen
// when it closes, and returns at once. The one frame (FrameLoop.h) draws the
// top dialog over the stage in its overlay phase and gives it the input
// (nothing reaches the stage but closing the window); the frame after it
// closed pops it and runs its completion in the commands phase, so whatever
// the completion does (apply settings, play a show, open a message) happens
// between frames like every other command.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ModalForm.h"

class TFormSky;

// Opens `dialog` over the stage: keys held until now are let go, and
// `closed` runs in the commands phase of the frame after it closes.
void OpenDialog(TFormSky& form, std::unique_ptr<TModalForm> dialog,
                std::function<void()> closed = {});

// The commands phase's part of the dialogs: every dialog that has closed is
// popped and its completion run (a completion may open the next dialog).
void FinishClosedDialogs(TFormSky& form);

// The program cannot go on with dialogs open (the window closed, the script
// or picture ended): each is closed as its cancel button would and its
// completion run, until none is left.
void CloseAllDialogs(TFormSky& form);

// A message for the person at the screen: on stderr, and (when the program
// runs frames) in a message box over the stage until it is confirmed.
void ShowMessage(TFormSky& form, const std::string& title, const std::vector<std::string>& lines);
