#pragma once
// Running helper programs (file dialogs, the desktop's opener) without a
// shell: an argument vector through posix_spawn.

#include <string>
#include <vector>

// The full path of a program found on PATH, or "" when there is none.
std::string gFindProgram(const std::string& name);

// Runs a program and collects its standard output. Returns the exit
// status, or -1 when the program could not be started or did not exit
// normally. With a pump the program is a dialog over the main window: pump
// is called every few milliseconds while it runs, and once a dialog that
// started has ended the dialog-end hook runs, so that the main window takes
// the keyboard focus back.
int gSpawnAndCapture(const std::vector<std::string>& argv, std::string& output, void (*pump)());

// What runs after every dialog program (null: nothing). The platform sets
// it.
void gSetDialogEndHook(void (*hook)());
// Runs the dialog-end hook, if any: for dialogs that are not programs.
void gDialogEnded();

// As gSpawnAndCapture, with standard error collected too (the caller's own
// otherwise) and the program's environment this process's with the given
// "NAME=value" entries set over it.
int gSpawnAndCaptureAll(const std::vector<std::string>& argv,
                        const std::vector<std::string>& environment, std::string& output,
                        std::string& errors, void (*pump)());

// Starts a program detached from this process (its own session, reaped by
// the system) and does not wait for it. False when it could not start.
bool gSpawnDetached(const std::vector<std::string>& argv);
