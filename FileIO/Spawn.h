#pragma once
// Running helper programs (file dialogs, the desktop's opener) without a
// shell: an argument vector through posix_spawn.

#include <string>
#include <vector>

// The full path of a program found on PATH, or "" when there is none.
std::string gFindProgram(const std::string& name);

// Runs a program and collects its standard output. While it runs, pump is
// called every few milliseconds (when given). Returns the exit status, or
// -1 when the program could not be started or did not exit normally.
int gSpawnAndCapture(const std::vector<std::string>& argv, std::string& output, void (*pump)());

// As gSpawnAndCapture, with standard error collected too (the caller's own
// otherwise) and the program's environment this process's with the given
// "NAME=value" entries set over it.
int gSpawnAndCaptureAll(const std::vector<std::string>& argv,
                        const std::vector<std::string>& environment, std::string& output,
                        std::string& errors, void (*pump)());

// Starts a program detached from this process (its own session, reaped by
// the system) and does not wait for it. False when it could not start.
bool gSpawnDetached(const std::vector<std::string>& argv);
