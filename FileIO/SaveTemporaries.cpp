#include "FileIO/detail/SaveTemporaries.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

namespace savetemp {

namespace {

// A plain decimal number of at most 9 digits (so it fits a pid_t), no sign
// and no leading zero; -1 otherwise.
long Number(const std::string& text) {
    if (text.empty() || text.size() > 9 || text[0] == '0') {
        return -1;
    }
    long n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return -1;
        }
        n = n * 10 + (c - '0');
    }
    return n;
}

// Whether a process with that id exists (one that we may not signal
// exists as well).
bool Running(long pid) {
    return ::kill(pid_t(pid), 0) == 0 || errno != ESRCH;
}

struct DirClose {
    void operator()(DIR* d) const { ::closedir(d); }
};

} // namespace

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string LeafOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Stem(const std::string& target) {
    const std::string folder = FolderOf(target);
    return folder + (folder == "/" ? "" : "/") + "." + LeafOf(target) + ".save-";
}

long ProcessOf(const std::string& entry, const std::string& targetLeaf) {
    const std::string prefix = "." + targetLeaf + ".save-";
    if (entry.size() <= prefix.size() || entry.compare(0, prefix.size(), prefix) != 0) {
        return 0;
    }
    const std::string rest = entry.substr(prefix.size());
    const size_t dash = rest.find('-');
    if (dash == std::string::npos) {
        return 0;
    }
    const long pid = Number(rest.substr(0, dash));
    const long count = Number(rest.substr(dash + 1));
    return pid > 0 && count > 0 ? pid : 0;
}

void RemoveStale(const std::string& target) {
    const std::string folder = FolderOf(target);
    const std::string leaf = LeafOf(target);
    const std::unique_ptr<DIR, DirClose> dir(::opendir(folder.c_str()));
    if (!dir) {
        return;
    }
    const std::string base = folder == "/" ? folder : folder + "/";
    const long self = long(::getpid());
    while (const dirent* e = ::readdir(dir.get())) {
        const std::string name = e->d_name;
        const long pid = ProcessOf(name, leaf);
        if (pid == 0 || pid == self || Running(pid)) {
            continue;
        }
        const std::string path = base + name;
        struct stat st;
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
            // Cleaning up is a courtesy: a temporary that cannot be removed
            // (gone already, or on a read-only folder) is left.
            ::unlink(path.c_str());
        }
    }
}

} // namespace savetemp
