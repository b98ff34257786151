#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "testsupport/foundation/ChildProcess.h"

namespace {

struct EndCase {
    const char* name;
    std::function<int()> body;
    SChildEnd expected;
};

void PrintTo(const EndCase& c, std::ostream* os) {
    *os << c.name;
}

class ChildEnds : public ::testing::TestWithParam<EndCase> {};

TEST_P(ChildEnds, AsTheBodyEnds) {
    EXPECT_EQ(RunInChild(GetParam().body), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    ChildProcess, ChildEnds,
    ::testing::Values(EndCase{"ReturnsACode", [] { return 37; }, ChildExited(37)},
                      EndCase{"Throws", []() -> int { throw std::runtime_error("in the child"); },
                              ChildExited(kChildBodyThrew)},
                      EndCase{"IsKilled",
                              [] {
                                  ::raise(SIGTERM);
                                  return 0;
                              },
                              SChildEnd{SChildEnd::eSignalled, SIGTERM}}),
    [](const ::testing::TestParamInfo<EndCase>& info) { return info.param.name; });

// The limit turns a write past it into EFBIG (not SIGXFSZ) in the child
// alone; the test process keeps its own limit.
TEST(ChildProcess, FileSizeLimitFailsTheWriteThatPassesIt) {
    char pattern[] = "/tmp/daublin-child-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string file = std::string(pattern) + "/big.bin";
    struct rlimit before = {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);

    const SChildEnd end = RunInChild(
        [&file] {
            const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (fd < 0) {
                return 10;
            }
            const std::string data(4096, 'x');
            const ssize_t first = ::write(fd, data.data(), data.size());
            const ssize_t second = ::write(fd, data.data(), data.size());
            const int error = errno;
            ::close(fd);
            return first == 1000 && second < 0 && error == EFBIG ? 0 : 11;
        },
        SChildLimits().FileBytes(1000));
    EXPECT_EQ(end, ChildExited(0));
    EXPECT_EQ(std::filesystem::file_size(file), 1000u);

    struct rlimit after = {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &after), 0);
    EXPECT_EQ(after.rlim_cur, before.rlim_cur);
    std::filesystem::remove_all(pattern);
}

TEST(ChildProcess, AChildThatHangsIsKilledWhenItsTimeIsUp) {
    const auto start = std::chrono::steady_clock::now();
    const SChildEnd end = RunInChild(
        [] {
            for (;;) {
                ::pause();
            }
            return 0;
        },
        SChildLimits().Wait(std::chrono::milliseconds(50)));
    EXPECT_EQ(end, (SChildEnd{SChildEnd::eTimedOut, 0}));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

} // namespace
