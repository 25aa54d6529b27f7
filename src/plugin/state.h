#pragma once
// The plug-in's one engine instance. Made at load (the library's attach asks for it first),
// it reads and writes every file the plug-in has always written, and the application object
// wires it to the setup thread. The exports reach it here; the Setup window and its
// displays get it from the application object at load.
#include "engine/contest.h"

engine::Contest& State();

// How the plug-in tells the operator that an export's log was written: a message box.
void ShowCompletionMessage(const std::string& message);
