#include "FileIO/Spawn.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

extern char** environ;

namespace {

void (*s_pDialogEndHook)() = nullptr;

std::vector<char*> ArgPointers(const std::vector<std::string>& argv) {
    std::vector<char*> p;
    for (const std::string& a : argv) {
        p.push_back(const_cast<char*>(a.c_str()));
    }
    p.push_back(nullptr);
    return p;
}

int WaitFor(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

void gSetDialogEndHook(void (*hook)()) {
    s_pDialogEndHook = hook;
}

void gDialogEnded() {
    if (s_pDialogEndHook) {
        s_pDialogEndHook();
    }
}

std::string gFindProgram(const std::string& name) {
    if (name.find('/') != std::string::npos) {
        return ::access(name.c_str(), X_OK) == 0 ? name : std::string();
    }
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) {
            end = dirs.size();
        }
        // An empty entry stands for the current folder.
        std::string candidate(1, '.');
        if (end > start) {
            candidate = dirs.substr(start, end - start);
        }
        candidate += '/';
        candidate += name;
        struct stat st;
        if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = end + 1;
    }
    return std::string();
}

int gSpawnAndCapture(const std::vector<std::string>& argv, std::string& output, void (*pump)()) {
    output.clear();
    if (argv.empty()) {
        return -1;
    }
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    std::vector<char*> args = ArgPointers(argv);
    pid_t pid = 0;
    const int rc = ::posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (rc != 0) {
        ::close(fds[0]);
        return -1;
    }
    char buffer[4096];
    for (;;) {
        struct pollfd pfd = {fds[0], POLLIN, 0};
        const int ready = ::poll(&pfd, 1, 20);
        if (ready > 0) {
            const ssize_t got = ::read(fds[0], buffer, sizeof buffer);
            if (got > 0) {
                output.append(buffer, size_t(got));
                continue;
            }
            if (got == 0 || errno != EINTR) {
                break;
            }
        } else if (ready < 0 && errno != EINTR) {
            break;
        }
        if (pump) {
            pump();
        }
    }
    ::close(fds[0]);
    const int status = WaitFor(pid);
    if (pump) {
        gDialogEnded();
    }
    return status;
}

bool gSpawnDetached(const std::vector<std::string>& argv) {
    if (argv.empty()) {
        return false;
    }
    // The program runs as a grandchild: the short-lived child starts it
    // and exits at once, so the program is never left as a zombie of ours.
    std::vector<char*> args = ArgPointers(argv);
    const pid_t child = ::fork();
    if (child < 0) {
        return false;
    }
    if (child == 0) {
        posix_spawnattr_t attr;
        posix_spawnattr_init(&attr);
        posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
        pid_t pid = 0;
        const int rc = ::posix_spawn(&pid, args[0], nullptr, &attr, args.data(), environ);
        ::_exit(rc == 0 ? 0 : 1);
    }
    return WaitFor(child) == 0;
}
