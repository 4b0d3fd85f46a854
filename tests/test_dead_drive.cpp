// The main window against a real mounted file system that never answers a size
// query, as a network share whose server went away does. Needs /dev/fuse and
// fusermount3; skipped where either is missing or the mount is refused.
#include "app/qt/MainForm.h"
#include "drivespace/asker/AskDriveSpace.h"
#include "tests/MainFormFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>

namespace {

constexpr int MountWaitMs = 10'000;
// The one-second deadline, with room for a loaded machine.
constexpr int DeadlineWaitMs = 3'000;

class DeadDriveTest : public MainFormFixture {
protected:
    void SetUp() override
    {
        MainFormFixture::SetUp();
        if (HasFatalFailure())
            return;

        const int fuse = ::open("/dev/fuse", O_RDWR | O_CLOEXEC);
        if (fuse < 0)
            GTEST_SKIP() << "/dev/fuse cannot be opened here (no FUSE in this kernel or container)";
        ::close(fuse);
        m_fusermount = QStandardPaths::findExecutable(QStringLiteral("fusermount3"));
        if (m_fusermount.isEmpty())
            GTEST_SKIP() << "fusermount3 is missing (Debian package fuse3)";
        const QString helper = QCoreApplication::applicationDirPath() + QStringLiteral("/fuse_blocking_fs");
        ASSERT_TRUE(QFile::exists(helper)) << "the helper " << helper.toStdString() << " was not built";

        ASSERT_TRUE(m_base.isValid());
        m_state = m_base.filePath(QStringLiteral("state"));
        m_mountPoint = m_base.filePath(QStringLiteral("dead"));
        ASSERT_TRUE(QDir().mkpath(m_state));
        ASSERT_TRUE(QDir().mkpath(m_mountPoint));

        if (!mount(m_server, m_state, m_mountPoint))
            GTEST_SKIP() << "mounting the blocking file system failed: "
                         << m_server.readAllStandardError().toStdString();

        entries = {{"/ [/dev/root]", "/"}, {m_mountPoint.toStdString() + " [DEAD]", m_mountPoint.toStdString()}};
    }

    // Also after a failed assertion: lets the held query go, so that no thread
    // of this process stays in the kernel, then unmounts and stops the server.
    void TearDown() override
    {
        if (m_server.state() != QProcess::NotRunning) {
            QFile release(m_state + QStringLiteral("/release"));
            (void)release.open(QIODevice::WriteOnly);
            release.close();
            EXPECT_TRUE(QTest::qWaitFor([&] { return heldQueries() == 0; }, MountWaitMs))
                << "the file system did not answer the held query once released";
            QProcess::execute(m_fusermount, {QStringLiteral("-u"), QStringLiteral("-z"), m_mountPoint});
            m_server.terminate();
            if (!m_server.waitForFinished(MountWaitMs)) {
                m_server.kill();
                m_server.waitForFinished();
            }
        }
        MainFormFixture::TearDown();
    }

    // Starts a server of the blocking file system at a mount point; false
    // when it does not come up.
    static bool mount(QProcess& server, const QString& state, const QString& mountPoint)
    {
        server.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/fuse_blocking_fs"));
        server.setArguments({state, mountPoint});
        server.start();
        return server.waitForStarted() &&
               QTest::qWaitFor(
                   [&] {
                       return QFile::exists(state + QStringLiteral("/ready")) || server.state() != QProcess::Running;
                   },
                   MountWaitMs) &&
               server.state() == QProcess::Running;
    }

    // The real drive query with its deadline, on a fake list of drives.
    std::unique_ptr<mainform> loadRealWindow() { return loadWindow(platformDriveSpaceAsker()); }

    // Size queries that reached the file system, and those still held there.
    [[nodiscard]] int receivedQueries() const { return logLines(m_state, "enter"); }
    [[nodiscard]] int heldQueries() const { return heldIn(m_state); }
    [[nodiscard]] static int heldIn(const QString& state)
    {
        return logLines(state, "enter") - logLines(state, "return");
    }

    [[nodiscard]] static QString text(const mainform& window, const char* label)
    {
        return window.findChild<QLabel*>(QString::fromLatin1(label))->text();
    }
    [[nodiscard]] static bool timerRunning(const mainform& window)
    {
        return window.findChild<QTimer*>(QStringLiteral("Timer1"))->isActive();
    }

    QString m_mountPoint;
    QString m_state;
    QString m_fusermount;

private:
    [[nodiscard]] static int logLines(const QString& state, const char* word)
    {
        QFile log(state + QStringLiteral("/statfs.log"));
        if (!log.open(QIODevice::ReadOnly | QIODevice::Text))
            return 0;
        int count = 0;
        while (!log.atEnd())
            if (log.readLine().trimmed() == word)
                ++count;
        return count;
    }

    QTemporaryDir m_base;
    QProcess m_server;
};

// A tmpfs on a directory while the owner lives.
class TmpfsMount {
public:
    explicit TmpfsMount(const QString& directory) : m_directory(directory.toStdString())
    {
        if (::mount("tmpfs", m_directory.c_str(), "tmpfs", 0, "size=1m") != 0)
            m_error = std::strerror(errno);
    }
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;
    ~TmpfsMount()
    {
        if (m_error.empty())
            ::umount2(m_directory.c_str(), MNT_DETACH); // also when something still holds it
    }
    [[nodiscard]] const std::string& error() const { return m_error; }

private:
    std::string m_directory;
    std::string m_error;
};

// Lets a held file system go after a while, should the test itself be held
// by it: a failure then, not a test that hangs.
std::jthread releaseAfter(const QString& state, std::chrono::seconds wait)
{
    return std::jthread([release = state + QStringLiteral("/release"), wait](std::stop_token stop) {
        std::mutex mutex;
        std::condition_variable_any stopped;
        std::unique_lock lock(mutex);
        stopped.wait_for(lock, stop, wait, [] { return false; });
        (void)QFile(release).open(QIODevice::WriteOnly);
    });
}

TEST_F(DeadDriveTest, PickingADeadDriveKeepsTheWindowAnsweringAndClosable)
{
    auto window = loadRealWindow();
    window->show();

    // The pick comes back at once, with the drive still holding its query; the
    // refresh ends as not available when the deadline has passed.
    QElapsedTimer picked;
    picked.start();
    ASSERT_TRUE(pickDrive(*window, m_mountPoint.toStdString()));
    EXPECT_LT(picked.elapsed(), 500);
    EXPECT_EQ(window->behaviour().drivePath(), m_mountPoint.toStdString());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Disk Usage: ") + m_mountPoint + QStringLiteral(" [DEAD]"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return text(*window, "lblTOTAL") == QStringLiteral("Not Available  "); },
                                DeadlineWaitMs));
    EXPECT_EQ(text(*window, "lblFREE"), QString());
    EXPECT_EQ(text(*window, "lblUSED"), QString());
    EXPECT_EQ(text(*window, "lblTOTAL"), QStringLiteral("Not Available  "));
    EXPECT_FALSE(timerRunning(*window));
    ASSERT_EQ(receivedQueries(), 1) << "the query never reached the mounted file system";
    EXPECT_EQ(heldQueries(), 1);

    // The event loop still runs.
    bool fired = false;
    QTimer::singleShot(0, window.get(), [&] { fired = true; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return fired; }, MountWaitMs));

    // Away and back: the healthy drive answers, the dead one fails without
    // asking the file system again while its first query is held.
    ASSERT_TRUE(pickDrive(*window, "/"));
    EXPECT_NE(text(*window, "lblTOTAL"), QStringLiteral("Not Available  "));
    EXPECT_TRUE(timerRunning(*window));
    ASSERT_TRUE(pickDrive(*window, m_mountPoint.toStdString()));
    EXPECT_EQ(text(*window, "lblTOTAL"), QStringLiteral("Not Available  "));
    EXPECT_FALSE(timerRunning(*window));
    EXPECT_EQ(receivedQueries(), 1);

    // Closing stores the settings and ends the window without waiting for the
    // held query.
    EXPECT_TRUE(window->close());
    window.reset();
    EXPECT_EQ(storedSettings()[QStringLiteral("Drive")], m_mountPoint);
    EXPECT_EQ(heldQueries(), 1);
}

// The program itself, with the dead drive stored as its drive: it asks the
// drive at start, and told to stop it ends at once, although the query it
// started is still held in the file system.
TEST_F(DeadDriveTest, TheProgramEndsAtOnceWhileItsQueryIsHeld)
{
    writeSettingsFile("[Settings]\nDrive=" + m_mountPoint.toUtf8() + "\n");
    QProcess program;
    program.setProgram(QStringLiteral(QUILLMAR_PROGRAM));
    program.start();
    ASSERT_TRUE(program.waitForStarted());
    ASSERT_TRUE(QTest::qWaitFor([&] { return heldQueries() == 1; }, MountWaitMs))
        << "the program never asked the dead drive";
    // Past the deadline, with the window up and listening for the stop signal.
    QTest::qWait(DeadlineWaitMs);

    QElapsedTimer stopping;
    stopping.start();
    program.terminate();
    EXPECT_TRUE(program.waitForFinished(2'000)) << "the program was still running after 2 s";
    EXPECT_LT(stopping.elapsed(), 2'000);
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(storedSettings()[QStringLiteral("Drive")], m_mountPoint);
    EXPECT_EQ(heldQueries(), 1) << "the query was answered, so the test proves nothing";
    if (program.state() != QProcess::NotRunning) {
        program.kill();
        program.waitForFinished();
    }
}

// After the hung file system is unmounted and a healthy one is mounted in its
// place, the path answers again, while the old mount's query is still held.
TEST_F(DeadDriveTest, ARemountedPathAnswersAgain)
{
    const AskDriveSpace ask = platformDriveSpaceAsker();
    const std::string path = m_mountPoint.toStdString();
    DriveAnswer answer;
    ASSERT_FALSE(ask(answer, path, std::chrono::milliseconds(50), [](const DriveAnswer&) {}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return heldQueries() == 1; }, MountWaitMs));
    QTest::qWait(static_cast<int>(DriveAnswerDeadline.count()) + 100);

    QProcess::execute(m_fusermount, {QStringLiteral("-u"), QStringLiteral("-z"), m_mountPoint});
    QTemporaryDir healthyState;
    ASSERT_TRUE(QFile(healthyState.filePath(QStringLiteral("release"))).open(QIODevice::WriteOnly));
    QProcess healthy;
    ASSERT_TRUE(mount(healthy, healthyState.path(), m_mountPoint));
    EXPECT_TRUE(ask(answer, path, std::chrono::milliseconds(DeadlineWaitMs), [](const DriveAnswer&) {}));
    EXPECT_EQ(answer.capacity.stored(), 4'096'000) << "the remounted path still reads as the dead one";
    EXPECT_EQ(heldQueries(), 1);

    QProcess::execute(m_fusermount, {QStringLiteral("-u"), QStringLiteral("-z"), m_mountPoint});
    healthy.terminate();
    healthy.waitForFinished();
}

// A copy of the program without its helper asks from children of its own: its
// query held in the file system does not keep it from ending.
TEST_F(DeadDriveTest, AProgramWithoutItsHelperEndsAtOnceWhileItsQueryIsHeld)
{
    QTemporaryDir alone;
    const QString copy = alone.filePath(QStringLiteral("quillmar"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUILLMAR_PROGRAM), copy));
    writeSettingsFile("[Settings]\nDrive=" + m_mountPoint.toUtf8() + "\n");
    QProcess program;
    program.start(copy, {});
    ASSERT_TRUE(program.waitForStarted());
    ASSERT_TRUE(QTest::qWaitFor([&] { return heldQueries() == 1; }, MountWaitMs))
        << "the program never asked the dead drive";

    program.terminate();
    EXPECT_TRUE(program.waitForFinished(2'000)) << "the program was held by its query";
    EXPECT_EQ(heldQueries(), 1) << "the query was answered, so the test proves nothing";
    if (program.state() != QProcess::NotRunning) {
        (void)QFile(m_state + QStringLiteral("/release")).open(QIODevice::WriteOnly);
        program.kill();
        program.waitForFinished();
    }
}

// A local drive shown at .../a/b, then a file system that hangs mounted over
// .../a: the kernel now looks the drive's path up through it. Neither the
// program nor the asker of an open window may look it up in place any more.
class HungParentTest : public DeadDriveTest {
protected:
    void TearDown() override
    {
        (void)QFile(m_hungState + QStringLiteral("/release")).open(QIODevice::WriteOnly);
        EXPECT_TRUE(QTest::qWaitFor([&] { return heldIn(m_hungState) == 0; }, MountWaitMs));
        if (m_hungServer.state() != QProcess::NotRunning) {
            QProcess::execute(m_fusermount, {QStringLiteral("-u"), QStringLiteral("-z"), m_parent});
            m_hungServer.terminate();
            m_hungServer.waitForFinished(MountWaitMs);
        }
        m_tmpfs.reset(); // now that nothing hangs on the way to it
        DeadDriveTest::TearDown();
    }

    // Mounts the hung file system over the drive's parent.
    void hangParent()
    {
        ASSERT_TRUE(QDir().mkpath(m_hungState));
        ASSERT_TRUE(mount(m_hungServer, m_hungState, m_parent))
            << "mounting over the drive failed: " << m_hungServer.readAllStandardError().toStdString();
        ASSERT_TRUE(QFile(m_hungState + QStringLiteral("/hang")).open(QIODevice::WriteOnly));
    }

    QTemporaryDir m_hungBase;
    const QString m_parent = m_hungBase.filePath(QStringLiteral("a"));
    const QString m_drive = m_parent + QStringLiteral("/b");
    const QString m_hungState = m_hungBase.filePath(QStringLiteral("state"));
    QProcess m_hungServer;
    std::optional<TmpfsMount> m_tmpfs;
};

TEST_F(HungParentTest, NeitherTheProgramNorTheAskerLooksThePathUpInPlace)
{
    ASSERT_TRUE(QDir().mkpath(m_drive));
    if (!m_tmpfs.emplace(m_drive).error().empty())
        GTEST_SKIP() << "a tmpfs cannot be mounted here: " << m_tmpfs->error();
    writeSettingsFile("[Settings]\nDrive=" + m_drive.toUtf8() + "\n");
    QProcess program;
    program.setProgram(QStringLiteral(QUILLMAR_PROGRAM));
    program.start();
    ASSERT_TRUE(program.waitForStarted());
    // The drive shown and asked in place first, then the mount over its parent.
    QTest::qWait(DeadlineWaitMs);
    hangParent();
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(QTest::qWaitFor([&] { return heldIn(m_hungState) == 1; }, MountWaitMs))
        << "the program never looked its drive up again";
    QTest::qWait(DeadlineWaitMs);
    program.terminate();
    EXPECT_TRUE(program.waitForFinished(2'000)) << "the program was held by the lookup";

    const auto watchdog = releaseAfter(m_hungState, std::chrono::seconds(5));
    const AskDriveSpace ask = platformDriveSpaceAsker();
    DriveAnswer answer;
    QElapsedTimer asked;
    asked.start();
    EXPECT_FALSE(ask(answer, m_drive.toStdString(), std::chrono::milliseconds(50), [](const DriveAnswer&) {}));
    EXPECT_LT(asked.elapsed(), 1'000) << "the asker looked the path up itself";
    if (program.state() != QProcess::NotRunning) {
        program.kill();
        program.waitForFinished();
    }
}

} // namespace
