#include "devtools/tests/CompilerRun.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "devtools/rc/PosixFile.h"

extern char** environ;

CompilerResult RunCompiler(const std::vector<std::string>& arguments) {
    CompilerResult result;
    char log[] = "/tmp/daublin-rc-output-XXXXXX";
    const int fd = ::mkstemp(log);
    if (fd < 0) {
        return result;
    }
    std::vector<std::string> args{DAUBLIN_RC_PATH};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fd, 1);
    posix_spawn_file_actions_adddup2(&actions, fd, 2);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        if (::waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
            result.exitCode = WEXITSTATUS(status);
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    ::close(fd);
    std::ifstream in(log, std::ios::binary);
    result.output.assign(std::istreambuf_iterator<char>(in), {});
    ::unlink(log);
    return result;
}

CompilerResult CompilerTest::Compile(const std::string& folder, const std::string& yaml) {
    MakeFile(folder + "/source.yaml", yaml);
    return RunCompiler({Posix(folder), Posix(folder + "/out")});
}

void CompilerTest::OpenOutput(gCFile& file, const std::string& folder, const char* name) {
    ASSERT_EQ(OpenPosixFile(file, Posix(folder + "/out/" + name), eAccessReadOnly), eNoError);
}

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
