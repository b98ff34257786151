#pragma once
// The temporary files of whole new files. A save writes beside its target,
// in a file named ".<target's name>.save-<process id>-<count>", and renames
// it over the target when it closes. A process that dies in between (a
// crash, a kill) leaves its temporary behind: the next save of the same
// target removes it, and only it.

#include <string>

namespace savetemp {

// The folder part of a POSIX path ("." for a bare name) and its last part.
std::string FolderOf(const std::string& path);
std::string LeafOf(const std::string& path);

// The temporary's path up to its process id: "<folder>/.<name>.save-".
std::string Stem(const std::string& target);

// The process id in a folder entry's name when the name is that of a
// temporary of the target (".<name>.save-<pid>-<count>", both plain
// decimal numbers); 0 otherwise.
long ProcessOf(const std::string& entry, const std::string& targetLeaf);

// Removes the target's temporaries (regular files only) that were left by
// processes no longer running. Nothing else in the folder is touched: not
// other files' temporaries, not those of running processes (this one
// included), not names that merely look alike.
void RemoveStale(const std::string& target);

} // namespace savetemp
