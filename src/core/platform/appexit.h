#pragma once
#include <functional>

namespace vz {

// Ends the program at once, as the operator's "end the program" commands do. The
// default closes the database and leaves the process; tests install their own
// handler to observe the request.
void endProgram(int exitCode = 0);
// Installs a handler; an empty one restores the default.
void setEndProgramHandler(std::function<void(int)> handler);

// Work that must reach the disk before the program ends, however it ends: the
// default end runs it before closing the database, and so does the end of the
// event loop (the windows' start-up connects it). Each piece runs once per call.
void addProgramEndWork(std::function<void()> work);
void runProgramEndWork();

}  // namespace vz
