// Every interface test runs with a preferences folder of its own holding an
// empty preferences file, so a set-up is no first run (no welcome box over
// what the test looks at) and no test touches the user's own settings.
// Tests of the first run point XDG_CONFIG_HOME elsewhere themselves.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

class CPreferencesFolder : public ::testing::Environment {
public:
    void SetUp() override {
        char pattern[] = "/tmp/daublin-ui-prefs-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_Folder = pattern;
        std::filesystem::create_directories(m_Folder + "/daublin");
        std::ofstream(m_Folder + "/daublin/Daublin.prs").flush();
        ASSERT_EQ(::setenv("XDG_CONFIG_HOME", m_Folder.c_str(), 1), 0);
    }
    void TearDown() override {
        ::unsetenv("XDG_CONFIG_HOME");
        std::error_code ec;
        std::filesystem::remove_all(m_Folder, ec);
    }

private:
    std::string m_Folder;
};

// Registered before main runs; gtest owns it.
[[maybe_unused]] ::testing::Environment* const kPreferencesFolder =
    ::testing::AddGlobalTestEnvironment(new CPreferencesFolder);

} // namespace
