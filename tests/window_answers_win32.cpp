// Whether another program's window still answers: it is sent WM_NULL ten
// times, 100 ms apart, and must answer within 100 ms each time but for at most
// two (a loaded machine may hold any program that long now and then; a window
// held by a call that never returns answers none); then it is told to
// close and must leave the screen within 2 s. Prints what it saw; exits 0 when the
// window did both, 1 when it did not, 2 when there is no such window.
//
//   window_answers.exe WINDOW_TITLE
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto AnswerLimit = 100ms;
constexpr auto CloseLimit = 2s;
constexpr int Pings = 10;
constexpr int MissesAllowed = 2;

long long millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// How many pings of Pings the window answered within the limit.
int answeredInTime(HWND window)
{
    int inTime = 0;
    for (int ping = 0; ping < Pings; ++ping) {
        DWORD_PTR result = 0;
        if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(AnswerLimit.count()),
                                &result) != 0)
            ++inTime;
        std::this_thread::sleep_for(100ms);
    }
    return inTime;
}

// How long the window took to leave the screen once told to close; -1 when it
// is still shown after the limit. Not until its handle is gone: under wine that
// takes 2 s after a bare window's close too.
long long closeTime(HWND window)
{
    const auto start = Clock::now();
    PostMessageW(window, WM_CLOSE, 0, 0);
    while (IsWindowVisible(window)) {
        if (Clock::now() - start > CloseLimit)
            return -1;
        std::this_thread::sleep_for(10ms);
    }
    return millisecondsSince(start);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    HWND window = argc == 2 ? FindWindowW(nullptr, argv[1]) : nullptr;
    if (!window) {
        std::puts("no such window");
        return 2;
    }
    const int inTime = answeredInTime(window);
    const long long closed = closeTime(window);
    std::printf("answered %d of %d pings within %lld ms (at least %d needed), closed in %lld ms (limit %lld; -1: "
                "not closed)\n",
                inTime, Pings, static_cast<long long>(AnswerLimit.count()), Pings - MissesAllowed, closed,
                static_cast<long long>(std::chrono::milliseconds(CloseLimit).count()));
    std::fflush(stdout);
    return inTime >= Pings - MissesAllowed && closed >= 0 ? 0 : 1;
}
