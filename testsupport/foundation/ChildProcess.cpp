#include "testsupport/foundation/ChildProcess.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <thread>

namespace {

[[noreturn]] void RunAsChild(const std::function<int()>& body, const SChildLimits& limits) {
    ::signal(SIGXFSZ, SIG_IGN);
    if (limits.fileBytes) {
        const struct rlimit limit = {rlim_t(*limits.fileBytes), rlim_t(*limits.fileBytes)};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            ::_exit(kChildLimitRefused);
        }
    }
    int status = kChildBodyThrew;
    try {
        status = body();
    } catch (...) {
    }
    ::_exit(status);
}

SChildEnd Ended(int status) {
    if (WIFEXITED(status)) {
        return {SChildEnd::eExited, WEXITSTATUS(status)};
    }
    return {SChildEnd::eSignalled, WIFSIGNALED(status) ? WTERMSIG(status) : 0};
}

} // namespace

std::ostream& operator<<(std::ostream& os, const SChildEnd& end) {
    switch (end.how) {
    case SChildEnd::eExited:
        os << "exited with " << end.value;
        if (end.value == kChildBodyThrew) {
            os << " (the body threw)";
        } else if (end.value == kChildLimitRefused) {
            os << " (the file-size limit was refused)";
        }
        return os;
    case SChildEnd::eSignalled:
        return os << "ended by signal " << end.value << " (" << ::strsignal(end.value) << ")";
    case SChildEnd::eTimedOut:
        return os << "still running when its time was up, killed";
    case SChildEnd::eFailed:
        return os << "not run or not waited for: " << std::strerror(end.value);
    }
    return os;
}

SChildEnd RunInChild(const std::function<int()>& body, const SChildLimits& limits) {
    // Whatever waits in the buffers would otherwise be written twice.
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0) {
        return {SChildEnd::eFailed, errno};
    }
    if (child == 0) {
        RunAsChild(body, limits);
    }
    const auto deadline = std::chrono::steady_clock::now() + limits.wait;
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child) {
            return Ended(status);
        }
        if (done < 0 && errno != EINTR) {
            return {SChildEnd::eFailed, errno};
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(child, SIGKILL);
            while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
            return {SChildEnd::eTimedOut, 0};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}
