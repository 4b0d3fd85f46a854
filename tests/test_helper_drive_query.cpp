// The drive query through helper processes: the real helper program built
// beside this test, and stand-ins for helpers that hang or die.
#include "drivespace/GetDiskSpace.h"
#include "drivespace/HelperDriveQuery.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr auto Generous = 10'000ms;
constexpr auto Short = 50ms;

struct Answer {
    bool atOnce = false;
    Currency capacity = Currency::fromStored(-1);
    Currency free = Currency::fromStored(77);
};

// Asks for rootPath; a late answer lands in `late`.
Answer ask(HelperDriveQuery& query, const std::string& rootPath, std::chrono::milliseconds wait,
           std::atomic<std::int64_t>* late = nullptr)
{
    Answer answer;
    answer.atOnce = query.ask(answer.capacity, answer.free, rootPath, wait, [late](Currency capacity, Currency) {
        if (late)
            *late = capacity.stored();
    });
    return answer;
}

TEST(HelperDriveQuery, AnswersAsTheDirectQueryDoes)
{
    HelperDriveQuery query;
    Currency capacity;
    Currency free;
    GetDiskSpace::QueryDriveSpace(capacity, free, "/");
    const Answer answer = ask(query, "/", Generous);
    EXPECT_TRUE(answer.atOnce);
    EXPECT_EQ(answer.capacity, capacity);
    EXPECT_NE(query.helperProcess("/"), 0);

    const Answer missing = ask(query, "/no/such/mount", Generous);
    EXPECT_TRUE(missing.atOnce);
    EXPECT_EQ(missing.capacity, FailureValue);
    EXPECT_EQ(missing.free.stored(), 77) << "a failure must leave free as the caller gave it";
}

TEST(HelperDriveQuery, AHelperKilledWhileIdleIsReplacedAtTheNextQuery)
{
    HelperDriveQuery query;
    ASSERT_NE(ask(query, "/", Generous).capacity, FailureValue);
    const int first = query.helperProcess("/");
    ASSERT_EQ(::kill(first, SIGKILL), 0);
    std::this_thread::sleep_for(100ms); // let it die

    EXPECT_NE(ask(query, "/", Generous).capacity, FailureValue);
    EXPECT_NE(query.helperProcess("/"), first);
}

// A stand-in helper that never answers the first time it is started and is
// the real helper from then on.
class HangingHelper : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/helper-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_directory = pattern;
        m_script = m_directory / "helper.sh";
        const auto real = HelperProgram::Find().path;
        std::ofstream(m_script) << "#!/bin/sh\n"
                                << "[ -e '" << (m_directory / "started").string() << "' ] && exec '" << real << "'\n"
                                << "touch '" << (m_directory / "started").string() << "'\n"
                                << "exec sleep 600\n";
        std::filesystem::permissions(m_script, std::filesystem::perms::owner_all);
    }
    void TearDown() override { std::filesystem::remove_all(m_directory); }

    std::filesystem::path m_directory;
    std::filesystem::path m_script;
};

TEST_F(HangingHelper, AHungHelperHoldsOnlyItsOwnPathAndItsDeathFailsOnlyItsQuery)
{
    HelperDriveQuery query(m_script.string());
    std::atomic<std::int64_t> superseded = 0;
    const auto asked = std::chrono::steady_clock::now();
    EXPECT_FALSE(ask(query, "/", Short, &superseded).atOnce);
    for (int i = 0; i < 500 && !std::filesystem::exists(m_directory / "started"); ++i)
        std::this_thread::sleep_for(10ms); // from here on, helpers started are real ones

    // Within the deadline a further ask of the path takes over its answer;
    // another path answers meanwhile.
    std::atomic<std::int64_t> late = 0;
    EXPECT_FALSE(ask(query, "/", Generous, &late).atOnce);
    EXPECT_NE(ask(query, "/proc", Generous).capacity, FailureValue);

    // After it the drive counts as dead, and the path fails at once.
    std::this_thread::sleep_until(asked + DriveAnswerDeadline + 200ms); // the helper started after `asked`
    const auto start = std::chrono::steady_clock::now();
    const Answer again = ask(query, "/", Generous);
    EXPECT_TRUE(again.atOnce);
    EXPECT_EQ(again.capacity, FailureValue);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);

    // Its death is the failure of the query it held, told to the newest asker
    // only, and no more.
    ASSERT_EQ(::kill(query.helperProcess("/"), SIGKILL), 0);
    for (int i = 0; i < 500 && late == 0; ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(late.load(), FailureValue.stored());
    EXPECT_EQ(superseded.load(), 0);
    EXPECT_NE(ask(query, "/", Generous).capacity, FailureValue);
}

TEST(HelperDriveQuery, AHelperNotAskedForItsIdleTimeIsLetGo)
{
    HelperDriveQuery query(HelperProgram::Find().path, 100ms);
    ASSERT_NE(ask(query, "/", Generous).capacity, FailureValue);
    const int first = query.helperProcess("/");
    std::this_thread::sleep_for(200ms);
    ASSERT_NE(ask(query, "/proc", Generous).capacity, FailureValue);
    EXPECT_EQ(query.helperProcess("/"), 0);
    // It sees its socket closed and ends.
    bool ended = false;
    for (int i = 0; i < 500 && !ended; ++i) {
        std::this_thread::sleep_for(10ms);
        std::ifstream stat("/proc/" + std::to_string(first) + "/stat");
        std::string pid, name, state;
        ended = !(stat >> pid >> name >> state) || state == "Z";
    }
    EXPECT_TRUE(ended);
}

} // namespace
