// A bound on every test of the program this is linked into: a test still running after it
// ends the program at once with the test's name, so that a loop that never ends (a write
// retried for ever, a wait for what never comes) fails in seconds instead of holding the
// suite until ctest gives up on it.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace {

constexpr std::chrono::seconds kBound{20};

class TestDeadline : public ::testing::EmptyTestEventListener {
  public:
    void OnTestStart(const ::testing::TestInfo& info) override {
        std::string name = std::string(info.test_suite_name()) + "." + info.name();
        ended_ = false;
        watch_ = std::thread([this, name] {
            std::unique_lock<std::mutex> lock(mutex_);
            if (!endedCondition_.wait_for(lock, kBound, [this] { return ended_; })) {
                std::fprintf(stderr, "\n%s is still running after %lld s: it does not end\n",
                             name.c_str(), static_cast<long long>(kBound.count()));
                std::fflush(stderr);
                std::_Exit(EXIT_FAILURE);
            }
        });
    }
    void OnTestEnd(const ::testing::TestInfo&) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ended_ = true;
        }
        endedCondition_.notify_one();
        watch_.join();
    }

  private:
    std::thread watch_;
    std::mutex mutex_;
    std::condition_variable endedCondition_;
    bool ended_ = false;
};

// Taken in before main runs the tests; gtest owns the listener from here.
[[maybe_unused]] const bool registered = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new TestDeadline);
    return true;
}();

}  // namespace
