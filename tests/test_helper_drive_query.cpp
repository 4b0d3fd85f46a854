// The drive query through query processes, under the per-path rule, as the
// program's asker builds them: the real helper program built beside this test,
// and stand-ins for helpers that hang, die or talk nonsense.
#include "drivespace/GetDiskSpace.h"
#include "drivespace/asker/HelperProgram.h"
#include "drivespace/asker/HelperProtocol.h"
#include "drivespace/asker/OneQueryPerPath.h"
#include "drivespace/asker/ProcessTransport.h"
#include "drivespace/asker/ThreadTransport.h"
#include "tests/RowName.h"

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

extern char** environ;

namespace {

using namespace std::chrono_literals;

constexpr auto Generous = 10'000ms;
constexpr auto Short = 50ms;
// A deadline with room for a helper's replacements on a loaded machine.
constexpr auto Roomy = 5'000ms;

using Rule = OneQueryPerPath<DriveAnswer>;

// The program's asker for drives that are not local disks: query processes of
// `helper` under the per-path rule.
struct Asker {
    explicit Asker(const std::string& helper = HelperProgram::Path(), Rule::Options options = {})
        : processes(std::make_shared<ProcessTransport>(helper)), rule(processes, std::move(options))
    {}
    // The process asking for rootPath now; 0 when there is none.
    [[nodiscard]] int processOf(const std::string& rootPath) const
    {
        return ProcessTransport::processOf(rule.lineOf(rootPath).get());
    }

    std::shared_ptr<ProcessTransport> processes;
    Rule rule;
};

struct Answer : DriveAnswer {
    Answer() : DriveAnswer{Currency::fromStored(-1), Currency::fromStored(77)} {}
    bool atOnce = false;
};

// Asks for rootPath; a late answer's capacity lands in `late`.
Answer ask(Asker& query, const std::string& rootPath, std::chrono::milliseconds wait,
           std::atomic<std::int64_t>* late = nullptr)
{
    Answer answer;
    answer.atOnce = query.rule.ask(answer, rootPath, wait, [late](const DriveAnswer& given) {
        if (late)
            *late = given.capacity.stored();
    });
    return answer;
}

TEST(QueryProcess, AnswersAsTheDirectQueryDoes)
{
    Asker query;
    DriveAnswer queried;
    GetDiskSpace::QueryDriveSpace(queried, "/");
    const Answer answer = ask(query, "/", Generous);
    EXPECT_TRUE(answer.atOnce);
    EXPECT_EQ(answer.capacity, queried.capacity);
    ASSERT_TRUE(answer.available.has_value()) << "the helper's answer lacks what the user may write";
    EXPECT_LE(*answer.available, answer.free);
    // The helper built beside this test, not a child of the test standing in for it.
    const int helper = query.processOf("/");
    ASSERT_NE(helper, 0);
    EXPECT_EQ(std::filesystem::read_symlink("/proc/" + std::to_string(helper) + "/exe"), HelperProgram::Path());

    const Answer missing = ask(query, "/no/such/mount", Generous);
    EXPECT_TRUE(missing.atOnce);
    EXPECT_EQ(missing.capacity, FailureValue);
    EXPECT_EQ(missing.free.stored(), 77) << "a failure must leave free as the caller gave it";
}

// The state letter of a process ('R', 'S', 'T', 'Z'...), '\0' once it is gone,
// polled until `done` says it is what the test waits for.
char processState(int pid, bool (*done)(char))
{
    char state = '?';
    for (int i = 0; i < 500 && !done(state); ++i) {
        if (i > 0)
            std::this_thread::sleep_for(10ms);
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string id, name;
        state = stat >> id >> name >> state ? state : '\0';
    }
    return state;
}

bool gone(char state)
{
    return state == '\0';
}

bool dead(char state)
{
    return state == '\0' || state == 'Z';
}

TEST(QueryProcess, AHelperKilledWhileIdleIsReplacedAtTheNextQuery)
{
    Asker query;
    ASSERT_NE(ask(query, "/", Generous).capacity, FailureValue);
    const int first = query.processOf("/");
    ASSERT_EQ(::kill(first, SIGKILL), 0);
    EXPECT_EQ(processState(first, gone), '\0') << "not reaped while the program asked nothing";

    EXPECT_NE(ask(query, "/", Generous).capacity, FailureValue);
    EXPECT_NE(query.processOf("/"), first);
}

// A shell command that writes `packet` to the program, for stand-in helpers
// written in shell: their standard input is their end of the socket pair.
template <class Packet>
std::string say(const Packet& packet)
{
    std::string command = "printf '";
    const auto* bytes = reinterpret_cast<const unsigned char*>(&packet);
    for (std::size_t i = 0; i < sizeof packet; ++i) {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\%03o", bytes[i]);
        command += escape;
    }
    return command + "' >&0\n";
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
        const auto real = HelperProgram::Path();
        std::ofstream(m_script) << "#!/bin/sh\n"
                                << "[ -e '" << (m_directory / "started").string() << "' ] && exec '" << real << "'\n"
                                << "touch '" << (m_directory / "started").string() << "'\n"
                                << say(HelperProtocol::Greeting) << "exec sleep 600\n";
        std::filesystem::permissions(m_script, std::filesystem::perms::owner_all);
    }
    void TearDown() override { std::filesystem::remove_all(m_directory); }

    std::filesystem::path m_directory;
    std::filesystem::path m_script;
};

TEST_F(HangingHelper, AHungHelperHoldsOnlyItsOwnPathAndItsDeathFailsOnlyItsQuery)
{
    Asker query(m_script.string());
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
    ASSERT_EQ(::kill(query.processOf("/"), SIGKILL), 0);
    for (int i = 0; i < 500 && late == 0; ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(late.load(), FailureValue.stored());
    EXPECT_EQ(superseded.load(), 0);
    EXPECT_NE(ask(query, "/", Generous).capacity, FailureValue);
}

// Mounts at one path, one after the other: each but the last stalls, holding
// its query in the kernel until the test ends, even once let go, as a dead
// network share does; the last is healthy.
struct StalledMounts {
    std::mutex mutex;
    std::condition_variable released;
    bool testEnded = false;
    std::atomic<int> current = 0;
    int healthy = 0;

    void answer(DriveAnswer& answer)
    {
        if (current == healthy) {
            answer = {Currency::fromStored(4'096'000), Currency::fromStored(1'000)};
            return;
        }
        std::unique_lock lock(mutex);
        released.wait(lock, [this] { return testEnded; });
    }
    void release()
    {
        const std::lock_guard guard(mutex);
        testEnded = true;
        released.notify_all();
    }
};

struct StallCase {
    const char* name;
    int stalledMounts;
};

const StallCase stallCases[] = {{"OneStalledMount", 1}, {"TwoStalledMountsInARow", 2}, {"FiveStalledMountsInARow", 5}};

class StalledMountsAtOnePath : public testing::TestWithParam<StallCase> {};

TEST_P(StalledMountsAtOnePath, TheHealthyMountAfterThemAnswers)
{
    auto mounts = std::make_shared<StalledMounts>();
    mounts->healthy = GetParam().stalledMounts;
    auto threads = std::make_shared<ThreadTransport<DriveAnswer>>(
        [mounts](DriveAnswer& answer, const std::string&) { mounts->answer(answer); }, Generous);
    constexpr auto deadline = 100ms;
    Rule rule(threads,
              {.deadline = deadline,
               .mountIdentity = [mounts](const std::string&) { return std::to_string(mounts->current.load()); }});
    const auto ignore = [](const DriveAnswer&) {};
    DriveAnswer answer;
    for (int stalled = 0; stalled < GetParam().stalledMounts; ++stalled) {
        mounts->current = stalled;
        EXPECT_FALSE(rule.ask(answer, "/mnt/share", Short, ignore)) << "stalled mount " << stalled;
        std::this_thread::sleep_for(deadline + Short); // the mount counts as dead from here on
    }
    mounts->current = mounts->healthy;
    EXPECT_TRUE(rule.ask(answer, "/mnt/share", Generous, ignore));
    EXPECT_EQ(answer.capacity.stored(), 4'096'000) << "the healthy mount reads as not available";
    mounts->release();
}

INSTANTIATE_TEST_SUITE_P(Table, StalledMountsAtOnePath, testing::ValuesIn(stallCases), RowName{});

TEST(QueryProcess, AHelperNotAskedForItsIdleTimeIsLetGo)
{
    Asker query(HelperProgram::Path(), {.idleLimit = 100ms, .mountIdentity = {}});
    ASSERT_NE(ask(query, "/", Generous).capacity, FailureValue);
    const int first = query.processOf("/");
    std::this_thread::sleep_for(200ms);
    ASSERT_NE(ask(query, "/proc", Generous).capacity, FailureValue);
    EXPECT_EQ(query.processOf("/"), 0);
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

// Helpers the helper program cannot be: each is given up, and the drives are
// then asked from children of the program. What a damaged helper answered
// never reaches the asker.
struct DamageCase {
    const char* name;
    void (*make)(const std::filesystem::path& helper);
    bool deletedWhileRunning;
};

void executable(const std::filesystem::path& helper, const std::string& text)
{
    std::ofstream(helper) << text;
    std::filesystem::permissions(helper, std::filesystem::perms::owner_all);
}

// A helper that says hello and answers its first question with `packet`.
template <class Packet>
void answering(const std::filesystem::path& helper, const Packet& packet)
{
    executable(helper, "#!/bin/sh\n" + say(HelperProtocol::Greeting) + "head -c 1 >/dev/null\n" + say(packet) +
                           "exec sleep 600\n");
}

using Counts = HelperProtocol::Answer;

const DamageCase damageCases[] = {
    {"Missing", [](const auto&) {}, false},
    {"ZeroByteFile", [](const auto& helper) { executable(helper, ""); }, false},
    {"FolderOfThatName", [](const auto& helper) { std::filesystem::create_directory(helper); }, false},
    {"ExitsAtOnce", [](const auto& helper) { executable(helper, "#!/bin/sh\nexit 0\n"); }, false},
    {"DeletedWhileRunning", [](const auto& helper) { std::filesystem::copy_file(HelperProgram::Path(), helper); },
     true},
    // Started, but silent: one of another protocol, left from before an upgrade.
    {"NeverSaysHello", [](const auto& helper) { executable(helper, "#!/bin/sh\nexec sleep 600\n"); }, false},
    {"SaysAnotherVersion",
     [](const auto& helper) {
         executable(helper, "#!/bin/sh\n" + say(HelperProtocol::Hello{HelperProtocol::Greeting.version + 1}) +
                                "exec sleep 600\n");
     },
     false},
    {"AnswersANegativeCount", [](const auto& helper) { answering(helper, Counts{-1, 0, 0}); }, false},
    {"AnswersMoreFreeThanCapacity", [](const auto& helper) { answering(helper, Counts{100, 200, 50}); }, false},
    {"AnswersMoreAvailableThanFree", [](const auto& helper) { answering(helper, Counts{100, 50, 60}); }, false},
    {"AnswersAShortPacket", [](const auto& helper) { answering(helper, std::int64_t{100}); }, false},
};

class DamagedHelper : public testing::TestWithParam<DamageCase> {};

TEST_P(DamagedHelper, IsGivenUpAndTheDrivesStillAnswer)
{
    char pattern[] = "/tmp/helper-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::filesystem::path helper = std::filesystem::path(pattern) / "quillmar-drive-query";
    GetParam().make(helper);
    Asker query(helper.string(), {.deadline = Roomy, .mountIdentity = {}});
    if (GetParam().deletedWhileRunning) {
        EXPECT_NE(ask(query, "/", Generous).capacity, FailureValue);
        std::filesystem::remove(helper);
    }
    DriveAnswer queried;
    GetDiskSpace::QueryDriveSpace(queried, "/sys");
    EXPECT_EQ(ask(query, "/sys", Generous).capacity, queried.capacity);
    EXPECT_FALSE(query.processes->runsHelperProgram());
    std::filesystem::remove_all(pattern);
}

INSTANTIATE_TEST_SUITE_P(Table, DamagedHelper, testing::ValuesIn(damageCases), RowName{});

// Run as a program of its own by the test below: asks for "/", then stops its
// helper and ends, printing the helper's pid.
TEST(QueryProcess, ProgramThatStopsItsHelper)
{
    if (!std::getenv("QUILLMAR_TEST_STOP_HELPER"))
        GTEST_SKIP() << "run only by EveryHelperDiesWithTheProgram";
    Asker query;
    ASSERT_NE(ask(query, "/", Generous).capacity, FailureValue);
    const int helper = query.processOf("/");
    ASSERT_EQ(::kill(helper, SIGSTOP), 0);
    std::printf("helper %d\n", helper);
    std::fflush(stdout);
    std::_Exit(0);
}

TEST(QueryProcess, EveryHelperDiesWithTheProgram)
{
    char self[4096] = {};
    ASSERT_GT(::readlink("/proc/self/exe", self, sizeof self - 1), 0);
    const std::string command = std::string("QUILLMAR_TEST_STOP_HELPER=1 '") + self +
                                "' --gtest_filter=QueryProcess.ProgramThatStopsItsHelper";
    FILE* program = ::popen(command.c_str(), "r");
    ASSERT_NE(program, nullptr);
    int helper = 0;
    char line[256];
    while (std::fgets(line, sizeof line, program))
        std::sscanf(line, "helper %d", &helper);
    ::pclose(program);
    ASSERT_NE(helper, 0);
    EXPECT_TRUE(dead(processState(helper, dead))) << "a stopped helper outlived its program";
    ::kill(helper, SIGKILL);
}

} // namespace
