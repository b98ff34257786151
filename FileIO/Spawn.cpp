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

namespace {

// This process's environment with the given "NAME=value" entries set over
// it.
std::vector<std::string> EnvironmentWith(const std::vector<std::string>& entries) {
    std::vector<std::string> out;
    for (char** e = environ; e && *e; ++e) {
        const std::string entry(*e);
        const std::string name = entry.substr(0, entry.find('='));
        bool replaced = false;
        for (const std::string& given : entries) {
            replaced = replaced || given.substr(0, given.find('=')) == name;
        }
        if (!replaced) {
            out.push_back(entry);
        }
    }
    out.insert(out.end(), entries.begin(), entries.end());
    return out;
}

// Reads what is ready on fd into text; at its end (or when it is broken)
// closes it and sets it to -1.
void Drain(int& fd, std::string& text) {
    char buffer[4096];
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got > 0) {
        text.append(buffer, size_t(got));
    } else if (got == 0 || (errno != EINTR && errno != EAGAIN)) {
        ::close(fd);
        fd = -1;
    }
}

// Runs argv with its standard output, and standard error when errors is
// given, read into the strings until both ends close.
int Capture(const std::vector<std::string>& argv, const std::vector<std::string>* environment,
            std::string& output, std::string* errors, void (*pump)()) {
    output.clear();
    if (errors) {
        errors->clear();
    }
    if (argv.empty()) {
        return -1;
    }
    int out[2] = {-1, -1};
    int err[2] = {-1, -1};
    if (::pipe2(out, O_CLOEXEC) != 0) {
        return -1;
    }
    if (errors && ::pipe2(err, O_CLOEXEC) != 0) {
        ::close(out[0]);
        ::close(out[1]);
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    if (errors) {
        posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    }
    std::vector<char*> args = ArgPointers(argv);
    std::vector<std::string> envText;
    std::vector<char*> env;
    if (environment) {
        envText = EnvironmentWith(*environment);
        env = ArgPointers(envText);
    }
    pid_t pid = 0;
    const int rc = ::posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, args.data(),
                                 environment ? env.data() : environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (errors) {
        ::close(err[1]);
    }
    if (rc != 0) {
        ::close(out[0]);
        if (errors) {
            ::close(err[0]);
        }
        return -1;
    }
    int fdOut = out[0];
    int fdErr = errors ? err[0] : -1;
    while (fdOut >= 0 || fdErr >= 0) {
        struct pollfd pfd[2] = {{fdOut, POLLIN, 0}, {fdErr, POLLIN, 0}};
        const int ready = ::poll(pfd, 2, 20);
        if (ready > 0) {
            if (fdOut >= 0 && pfd[0].revents) {
                Drain(fdOut, output);
            }
            if (fdErr >= 0 && pfd[1].revents) {
                Drain(fdErr, *errors);
            }
            continue;
        }
        if (ready < 0 && errno != EINTR) {
            break;
        }
        if (pump) {
            pump();
        }
    }
    for (int fd : {fdOut, fdErr}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    const int status = WaitFor(pid);
    if (pump) {
        gDialogEnded();
    }
    return status;
}

} // namespace

int gSpawnAndCapture(const std::vector<std::string>& argv, std::string& output, void (*pump)()) {
    return Capture(argv, nullptr, output, nullptr, pump);
}

int gSpawnAndCaptureAll(const std::vector<std::string>& argv,
                        const std::vector<std::string>& environment, std::string& output,
                        std::string& errors, void (*pump)()) {
    return Capture(argv, &environment, output, &errors, pump);
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
