// A bound on every test of the program this is linked into: a test still running after it
// ends the program at once with the test's name, so that a loop that never ends (a write
// retried for ever, a wait for what never comes) fails in seconds instead of holding the
// suite until ctest gives up on it.
#include <gtest/gtest.h>

#include <unistd.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr unsigned kBoundS = 20;
char running[512];

void overrun(int) {
    const char says[] = " is still running after 20 s: it does not end\n";
    [[maybe_unused]] const auto name = ::write(STDERR_FILENO, running, std::strlen(running));
    [[maybe_unused]] const auto rest = ::write(STDERR_FILENO, says, sizeof says - 1);
    std::_Exit(EXIT_FAILURE);
}

class TestDeadline : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo& info) override {
        std::snprintf(running, sizeof running, "\n%s.%s", info.test_suite_name(), info.name());
        std::signal(SIGALRM, overrun);
        ::alarm(kBoundS);
    }
    void OnTestEnd(const ::testing::TestInfo&) override { ::alarm(0); }
};

// Taken in before main runs the tests; gtest owns the listener from here.
[[maybe_unused]] const bool registered = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new TestDeadline);
    return true;
}();

}  // namespace
