#include "settings/AtomicFile.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsStore.h"
#include "tests/RowName.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <string>
#include <string_view>
#include <sys/fsuid.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr std::string_view app = "Quillmar";

// What is written on standard error while it lives. A pipe rather than a file:
// a file size limit set by a test must not cut the message short.
class StderrCapture {
public:
    StderrCapture()
    {
        std::fflush(stderr);
        if (pipe(m_pipe) == 0) {
            m_saved = dup(STDERR_FILENO);
            dup2(m_pipe[1], STDERR_FILENO);
        }
    }
    ~StderrCapture() { static_cast<void>(text()); }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // Ends the capture and returns what was written.
    [[nodiscard]] std::string text()
    {
        if (m_saved < 0)
            return m_text;
        std::fflush(stderr);
        dup2(m_saved, STDERR_FILENO);
        close(m_saved);
        m_saved = -1;
        close(m_pipe[1]);
        char buffer[4096];
        ssize_t n = 0;
        while ((n = read(m_pipe[0], buffer, sizeof buffer)) > 0)
            m_text.append(buffer, static_cast<std::size_t>(n));
        close(m_pipe[0]);
        return m_text;
    }

private:
    int m_pipe[2] = {-1, -1};
    int m_saved = -1;
    std::string m_text;
};
constexpr std::string_view section = "Settings";

// For root, file access checks as an ordinary user (the kernel drops root's
// file capabilities with the file system uid), for this thread while it lives.
class AsOrdinaryFileUser {
public:
    static constexpr uid_t Nobody = 65534;
    AsOrdinaryFileUser() : m_root(geteuid() == 0)
    {
        if (m_root)
            setfsuid(Nobody);
    }
    ~AsOrdinaryFileUser()
    {
        if (m_root)
            setfsuid(0);
    }
    AsOrdinaryFileUser(const AsOrdinaryFileUser&) = delete;
    AsOrdinaryFileUser& operator=(const AsOrdinaryFileUser&) = delete;

private:
    bool m_root;
};

constexpr const char* noHomeForOrdinaryUser =
    "no temporary folder on this system that the ordinary user (uid 65534) may enter and write";

// For root, hands the test's files to the user AsOrdinaryFileUser checks as.
void giveToOrdinaryUser(const QStringList& paths)
{
    for (const QString& path : paths) {
        if (geteuid() == 0) {
            ASSERT_EQ(
                chown(QFile::encodeName(path).constData(), AsOrdinaryFileUser::Nobody, AsOrdinaryFileUser::Nobody), 0);
        }
    }
}

// Each test gets its own configuration directory; QStandardPaths reads
// XDG_CONFIG_HOME afresh whenever a store is created.
class SettingsStoreTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_home.isValid());
        qputenv("XDG_CONFIG_HOME", home().toLocal8Bit());
    }

    // The test's home directory, which holds the configuration directory.
    [[nodiscard]] QString home() const { return m_reachableHome ? m_reachableHome->path() : m_home.path(); }

    // For root: moves the test's home to where the user AsOrdinaryFileUser checks
    // as can enter and write, and hands it to that user. The usual temporary
    // folder may lie below one only root may enter (a TMPDIR made 0700, a home
    // under /root). False when no temporary folder of this system will do.
    bool homeForOrdinaryUser();

    void TearDown() override
    {
        if (!m_mountPoint.isEmpty())
            umount2(QFile::encodeName(m_mountPoint).constData(), MNT_DETACH);
    }

    [[nodiscard]] QString appDir() const { return home() + QStringLiteral("/Quillmar"); }
    [[nodiscard]] QString configFile() const { return appDir() + QStringLiteral("/Quillmar.conf"); }

    void writeConfig(const QByteArray& bytes) const
    {
        ASSERT_TRUE(QDir().mkpath(appDir()));
        QFile file(configFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    [[nodiscard]] QByteArray readConfig() const
    {
        QFile file(configFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

    static void saveFive(SettingsStore& store)
    {
        store.SaveSetting(section, "Drive", "/media/usb");
        store.SaveSetting(section, "X", "1440");
        store.SaveSetting(section, "Y", "-300");
        store.SaveSetting(section, "UsedColor", "255");
        store.SaveSetting(section, "FreeColor", "12428157");
    }

    static constexpr const char* fiveInTheFile =
        "[Settings]\nDrive=/media/usb\nFreeColor=12428157\nUsedColor=255\nX=1440\nY=-300\n";

    // A small tmpfs over the application's directory, so that writing can fail
    // even for root. False when this process may not mount.
    bool mountTmpfs(const char* options)
    {
        if (!QDir().mkpath(appDir()))
            return false;
        if (mount("tmpfs", QFile::encodeName(appDir()).constData(), "tmpfs", 0, options) != 0)
            return false;
        m_mountPoint = appDir();
        return true;
    }

    void remountReadOnly() const
    {
        ASSERT_EQ(mount("tmpfs", QFile::encodeName(appDir()).constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr), 0);
    }

    QTemporaryDir m_home;
    std::optional<QTemporaryDir> m_reachableHome;
    // What a test mounted, to be unmounted after it.
    QString m_mountPoint;
};

bool SettingsStoreTest::homeForOrdinaryUser()
{
    if (geteuid() != 0)
        return true;
    const QString parents[] = {QDir::tempPath(), QStringLiteral("/tmp"), QStringLiteral("/var/tmp"),
                               QStringLiteral("/dev/shm")};
    for (const QString& parent : parents) {
        QTemporaryDir candidate(parent + QStringLiteral("/quillmar-test-XXXXXX"));
        const QByteArray path = QFile::encodeName(candidate.path());
        if (!candidate.isValid() ||
            chown(path.constData(), AsOrdinaryFileUser::Nobody, AsOrdinaryFileUser::Nobody) != 0)
            continue;
        const QByteArray probe = path + "/probe";
        bool usable = false;
        {
            const AsOrdinaryFileUser user;
            usable = mkdir(probe.constData(), 0700) == 0;
        }
        rmdir(probe.constData());
        if (usable) {
            m_reachableHome.emplace(std::move(candidate));
            qputenv("XDG_CONFIG_HOME", path);
            return true;
        }
    }
    return false;
}

TEST_F(SettingsStoreTest, FiveKeysRoundTripThroughAHandEditableFile)
{
    {
        SettingsStore store(app);
        EXPECT_EQ(store.location(), configFile().toStdString());
        saveFive(store);
        EXPECT_TRUE(store.commit());
    }
    EXPECT_EQ(readConfig(), fiveInTheFile);
    const SettingsStore again(app);
    EXPECT_EQ(again.GetSetting(section, "Drive", "C:\\"), "/media/usb");
    EXPECT_EQ(again.GetSetting(section, "X", "0"), "1440");
    EXPECT_EQ(again.GetSetting(section, "Y", "0"), "-300");
    EXPECT_EQ(again.GetSetting(section, "UsedColor", "7631561"), "255");
    EXPECT_EQ(again.GetSetting(section, "FreeColor", "0"), "12428157");
}

// The new file is written beside the old one and renamed over it, so a reader
// never sees half a file: one that opened the old file reads the old text.
TEST_F(SettingsStoreTest, CommitReplacesTheFileInsteadOfRewritingIt)
{
    const QByteArray earlier = "[Settings]\nX=1\n";
    writeConfig(earlier);
    QFile old(configFile());
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    {
        SettingsStore store(app);
        saveFive(store);
        ASSERT_TRUE(store.commit());
    }
    EXPECT_EQ(old.readAll(), earlier);
    EXPECT_EQ(readConfig(), "[Settings]\nX=1440\nDrive=/media/usb\nFreeColor=12428157\nUsedColor=255\nY=-300\n");
}

struct TextCase {
    const char* name;
    const char* text;
    const char* line; // as it stands in the file
};

const TextCase textCases[] = {
    {"Root", "/", "Drive=/"},
    {"MountPoint", "/media/usb", "Drive=/media/usb"},
    {"WindowsRoot", "C:\\", "Drive=C:\\"},
    {"BlankInside", "/media/my disk", "Drive=/media/my disk"},
    {"Empty", "", "Drive="},
    {"Comma", "/media/a,b", "Drive=/media/a,b"},
    {"TrailingBlank", "/media/x ", "Drive=\"/media/x \""},
    {"LineEndInside", "/media/a\nb", "Drive=\"/media/a\\nb\""},
    {"NonAscii", "/media/Zürich", "Drive=/media/Zürich"},
};

class StoredTextRoundTripTest : public SettingsStoreTest, public testing::WithParamInterface<TextCase> {};

TEST_P(StoredTextRoundTripTest, ComesBackAsWritten)
{
    const auto& c = GetParam();
    {
        SettingsStore store(app);
        store.SaveSetting(section, "Drive", std::string(c.text));
        ASSERT_TRUE(store.commit());
    }
    EXPECT_EQ(readConfig(), "[Settings]\n" + QByteArray(c.line) + "\n");
    const SettingsStore again(app);
    EXPECT_EQ(again.GetSetting(section, "Drive", "default"), std::string(c.text));
}

INSTANTIATE_TEST_SUITE_P(Table, StoredTextRoundTripTest, testing::ValuesIn(textCases), RowName{});

struct HandEditCase {
    const char* name;
    const char* file;
    const char* key;
    const char* text; // what GetSetting gives, with the default "default"
};

const HandEditCase handEditCases[] = {
    {"Plain", "[Settings]\nX=1440\n", "X", "1440"},
    {"BlanksAroundEquals", "[Settings]\nX = 1440 \n", "X", "1440"},
    {"CarriageReturns", "[Settings]\r\nDrive=/mnt/data\r\nX=5\r\n", "Drive", "/mnt/data"},
    {"Comments", "; written by hand\n[Settings]\n; the drive\nDrive=/srv\n", "Drive", "/srv"},
    {"HexColour", "[Settings]\nUsedColor=&HFF\n", "UsedColor", "&HFF"},
    {"EmptyValue", "[Settings]\nDrive=\n", "Drive", ""},
    {"Quoted", "[Settings]\nDrive=\"/media/my disk \"\n", "Drive", "/media/my disk "},
    // Commas are part of the text, blanks after them too.
    {"Commas", "[Settings]\nX=1,440\n", "X", "1,440"},
    {"CommasAndBlanks", "[Settings]\nA=1615 198th Street, N.E.\n", "A", "1615 198th Street, N.E."},
    {"LineWithoutEquals", "[Settings]\nthis is not a setting\nX=9\n", "X", "9"},
    {"OtherSection", "[Other]\nX=1\n", "X", "default"},
    {"MissingKey", "[Settings]\nY=1\n", "X", "default"},
    {"NoFileContent", "", "X", "default"},
};

class HandEditedFileTest : public SettingsStoreTest, public testing::WithParamInterface<HandEditCase> {};

TEST_P(HandEditedFileTest, IsReadAsTheUserWroteIt)
{
    const auto& c = GetParam();
    writeConfig(c.file);
    const SettingsStore store(app);
    EXPECT_EQ(store.GetSetting(section, c.key, "default"), c.text);
}

INSTANTIATE_TEST_SUITE_P(Table, HandEditedFileTest, testing::ValuesIn(handEditCases), RowName{});

TEST_F(SettingsStoreTest, MissingFileGivesTheDefault)
{
    const SettingsStore store(app);
    EXPECT_EQ(store.GetSetting(section, "Drive", "C:\\"), "C:\\");
    EXPECT_FALSE(QFile::exists(configFile()));
}

struct CorruptCase {
    const char* name;
    QByteArray bytes;
};

const CorruptCase corruptCases[] = {
    {"BinaryGarbage", QByteArray("\x01\x02\xff\xfe\x00[Settings]\x00X=9\x00\xff", 20)},
    {"UnclosedSection", "[Settings\nX=9\n"},
    {"Utf16", QByteArray("\xff\xfe[\x00S\x00]\x00\n\x00X\x00=\x009\x00", 16)},
};

class CorruptFileTest : public SettingsStoreTest, public testing::WithParamInterface<CorruptCase> {};

// A spoiled file gives the defaults without a crash, and the close adds the
// user's values to it.
TEST_P(CorruptFileTest, GivesDefaultsAndIsReplacedOnCommit)
{
    writeConfig(GetParam().bytes);
    {
        SettingsStore store(app);
        const std::string x = store.GetSetting(section, "X", "default");
        EXPECT_EQ(x, "default");
        saveFive(store);
        StderrCapture errors;
        EXPECT_TRUE(store.commit());
        EXPECT_EQ(errors.text(), "");
    }
    const SettingsStore again(app);
    EXPECT_EQ(again.GetSetting(section, "Drive", "C:\\"), "/media/usb");
    EXPECT_EQ(again.GetSetting(section, "Y", "0"), "-300");
}

INSTANTIATE_TEST_SUITE_P(Table, CorruptFileTest, testing::ValuesIn(corruptCases), RowName{});

// Lines the store cannot read stay where they are; the keys are added below.
TEST_F(SettingsStoreTest, MalformedLinesAreKeptAndTheKeysAdded)
{
    writeConfig("[Settings\nX=9\n[Junk]\nKept=1\n");
    {
        SettingsStore store(app);
        EXPECT_EQ(store.GetSetting(section, "X", "default"), "default");
        saveFive(store);
        EXPECT_TRUE(store.commit());
    }
    EXPECT_EQ(readConfig(), "[Settings\nX=9\n[Junk]\nKept=1\n\n" + QByteArray(fiveInTheFile));
}

// The window reads the store at start and writes it at close: what was written
// to the file in between (by hand, or by another copy) stays.
TEST_F(SettingsStoreTest, CommitKeepsWhatWasWrittenSinceTheStoreWasRead)
{
    writeConfig("[Settings]\nX=9\n");
    SettingsStore store(app);
    writeConfig("[Settings]\nX=9\n[Mine]\nKept=1\n");
    store.SaveSetting(section, "X", "10");
    EXPECT_TRUE(store.commit());
    EXPECT_EQ(readConfig(), "[Settings]\nX=10\n[Mine]\nKept=1\n");
}

// Works as root too: no permission bit is involved.
TEST_F(SettingsStoreTest, ConfigPathThatIsADirectoryGivesDefaultsAndFailsToCommit)
{
    ASSERT_TRUE(QDir().mkpath(configFile()));
    SettingsStore store(app);
    EXPECT_EQ(store.GetSetting(section, "X", "720"), "720");
    saveFive(store);
    StderrCapture errors;
    EXPECT_FALSE(store.commit());
    EXPECT_EQ(errors.text(), "quillmar: could not save settings to " + configFile().toStdString() +
                                 ": the file could not be read (Is a directory), so it is left as it is\n");
    EXPECT_TRUE(QFileInfo(configFile()).isDir());
}

TEST_F(SettingsStoreTest, UnreadableFileGivesDefaults)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads a file whatever its permissions; the directory-instead-of-file test covers this";
    writeConfig("[Settings]\nX=1440\n");
    ASSERT_TRUE(QFile::setPermissions(configFile(), QFileDevice::Permissions{}));
    const SettingsStore store(app);
    EXPECT_EQ(store.GetSetting(section, "X", "720"), "720");
}

// A file the user may write but not read is never written: its values are not
// known, and writing would lose them.
TEST_F(SettingsStoreTest, AFileThatCannotBeReadIsLeftUntouched)
{
    if (!homeForOrdinaryUser())
        GTEST_SKIP() << noHomeForOrdinaryUser;
    const QByteArray earlier = "[Settings]\nDrive=/media/usb\nX=1440\n";
    writeConfig(earlier);
    ASSERT_EQ(chmod(QFile::encodeName(configFile()).constData(), 0200), 0);
    giveToOrdinaryUser({home(), appDir(), configFile()});
    bool committed = true;
    std::string errors;
    {
        const AsOrdinaryFileUser user;
        SettingsStore store(app);
        EXPECT_EQ(store.GetSetting(section, "X", "720"), "720");
        saveFive(store);
        StderrCapture capture;
        committed = store.commit();
        errors = capture.text();
    }
    EXPECT_FALSE(committed);
    EXPECT_EQ(errors, "quillmar: could not save settings to " + configFile().toStdString() +
                          ": the file could not be read (Permission denied), so it is left as it is\n");
    struct stat status {};
    ASSERT_EQ(stat(QFile::encodeName(configFile()).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0200u);
    // Readable again, for a test run by an ordinary user.
    ASSERT_EQ(chmod(QFile::encodeName(configFile()).constData(), 0600), 0);
    EXPECT_EQ(readConfig(), earlier);
}

// A settings file kept elsewhere through a symlink (a dotfiles folder) stays a
// link; the file it points to gets the new text and keeps its mode.
TEST_F(SettingsStoreTest, ASymlinkedFileIsWrittenThroughTheLink)
{
    const QString target = home() + QStringLiteral("/dotfiles/Quillmar.conf");
    ASSERT_TRUE(QDir().mkpath(home() + QStringLiteral("/dotfiles")));
    {
        QFile file(target);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("# mine\n[Settings]\nX=1\n");
    }
    ASSERT_EQ(chmod(QFile::encodeName(target).constData(), 0640), 0);
    ASSERT_TRUE(QDir().mkpath(appDir()));
    ASSERT_EQ(symlink("../dotfiles/Quillmar.conf", QFile::encodeName(configFile()).constData()), 0);
    {
        SettingsStore store(app);
        saveFive(store);
        ASSERT_TRUE(store.commit());
    }
    EXPECT_TRUE(QFileInfo(configFile()).isSymLink());
    EXPECT_EQ(readConfig(),
              "# mine\n[Settings]\nX=1440\nDrive=/media/usb\nFreeColor=12428157\nUsedColor=255\nY=-300\n");
    EXPECT_EQ(QFileInfo(target).permissions() & 0x7777, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                            QFileDevice::ReadUser | QFileDevice::WriteUser |
                                                            QFileDevice::ReadGroup);
}

struct LocationCase {
    const char* name;
    const char* configHome; // "HOME" stands for the test's home directory
    const char* file;       // below the test's home directory
};

const LocationCase locationCases[] = {
    // A relative one would put a file under whatever directory the program was
    // started in; the XDG rules say to ignore it.
    {"RelativeConfigHomeIsIgnored", "relative/config", "/.config/Quillmar/Quillmar.conf"},
    {"EmptyConfigHomeIsIgnored", "", "/.config/Quillmar/Quillmar.conf"},
    {"SlashesAtTheEnd", "HOME/cfg//", "/cfg/Quillmar/Quillmar.conf"},
};

class StoreLocationTest : public SettingsStoreTest, public testing::WithParamInterface<LocationCase> {};

TEST_P(StoreLocationTest, FollowsTheXdgRules)
{
    const auto& c = GetParam();
    QByteArray configHome(c.configHome);
    configHome.replace("HOME", QFile::encodeName(home()));
    qputenv("XDG_CONFIG_HOME", configHome);
    const QByteArray realHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home()));
    const SettingsStore store(app);
    qputenv("HOME", realHome);
    EXPECT_EQ(store.location(), home().toStdString() + c.file);
}

INSTANTIATE_TEST_SUITE_P(Table, StoreLocationTest, testing::ValuesIn(locationCases), RowName{});

TEST_F(SettingsStoreTest, PathThroughARegularFileFailsToCommit)
{
    QFile blocker(home() + QStringLiteral("/not-a-directory"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocker.fileName()));
    SettingsStore store(app);
    saveFive(store);
    StderrCapture errors;
    EXPECT_FALSE(store.commit());
    EXPECT_EQ(errors.text(), "quillmar: could not save settings to " + store.location() + ": Not a directory\n");
}

enum class Obstacle { FileSizeLimit, ReadOnlyMount, FullDisk, ReadOnlyDirectoryAndSizeLimit };

struct WriteFailureCase {
    const char* name;
    Obstacle obstacle;
    const char* reason;
};

const WriteFailureCase writeFailureCases[] = {
    {"FileSizeLimit", Obstacle::FileSizeLimit, "File too large"},
    {"ReadOnlyMount", Obstacle::ReadOnlyMount, "Read-only file system"},
    {"FullDisk", Obstacle::FullDisk, "No space left on device"},
    // The file is written in place, and that fails too: the old text stays whole.
    {"ReadOnlyDirectoryAndSizeLimit", Obstacle::ReadOnlyDirectoryAndSizeLimit, "File too large"},
};

class WriteFailureTest : public SettingsStoreTest, public testing::WithParamInterface<WriteFailureCase> {};

// A close that cannot write says so in one line and leaves the earlier file
// exactly as it was.
TEST_P(WriteFailureTest, ReportsOneLineAndKeepsTheEarlierFile)
{
    const auto& c = GetParam();
    const QByteArray earlier = "[Settings]\nX=1\n";
    switch (c.obstacle) {
    case Obstacle::ReadOnlyMount:
    case Obstacle::FullDisk:
        // One page: the earlier file fills it.
        if (!mountTmpfs(c.obstacle == Obstacle::FullDisk ? "size=4k" : "size=64k"))
            GTEST_SKIP() << "this process may not mount a tmpfs (needs root with CAP_SYS_ADMIN)";
        break;
    case Obstacle::ReadOnlyDirectoryAndSizeLimit:
        if (!homeForOrdinaryUser())
            GTEST_SKIP() << noHomeForOrdinaryUser;
        break;
    case Obstacle::FileSizeLimit:
        break;
    }
    writeConfig(earlier);
    if (c.obstacle == Obstacle::ReadOnlyMount)
        remountReadOnly();
    std::optional<AsOrdinaryFileUser> user;
    if (c.obstacle == Obstacle::ReadOnlyDirectoryAndSizeLimit) {
        giveToOrdinaryUser({home(), appDir(), configFile()});
        ASSERT_TRUE(QFile::setPermissions(appDir(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        user.emplace();
    }

    SettingsStore store(app);
    saveFive(store);

    // A file size limit fails the write as a full disk would, for root too.
    rlimit unlimited{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &unlimited), 0);
    if (c.obstacle == Obstacle::FileSizeLimit || c.obstacle == Obstacle::ReadOnlyDirectoryAndSizeLimit) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = unlimited;
        small.rlim_cur = static_cast<rlim_t>(earlier.size());
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    }
    StderrCapture capture;
    const bool committed = store.commit();
    const std::string errors = capture.text();
    setrlimit(RLIMIT_FSIZE, &unlimited);
    user.reset();
    QFile::setPermissions(appDir(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    EXPECT_FALSE(committed);
    EXPECT_EQ(errors, "quillmar: could not save settings to " + configFile().toStdString() + ": " + c.reason + "\n");
    EXPECT_EQ(readConfig(), earlier);
    EXPECT_EQ(QDir(appDir()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Quillmar.conf")});
}

INSTANTIATE_TEST_SUITE_P(Table, WriteFailureTest, testing::ValuesIn(writeFailureCases), RowName{});

enum class Hindrance { None, SecondHardLink, FolderWithoutWritePermission, BindMountedFile };

struct InPlaceCase {
    const char* name;
    Hindrance hindrance;
};

// What saving the five values makes of "[Settings]\nX=1\n", and of itself.
constexpr const char* fiveAfterX1 = "[Settings]\nX=1440\nDrive=/media/usb\nFreeColor=12428157\nUsedColor=255\nY=-300\n";

const InPlaceCase inPlaceCases[] = {
    // Nothing to change: nothing is written.
    {"NothingChanged", Hindrance::None},
    // A dotfiles copy linked to the file keeps up with it.
    {"SecondHardLink", Hindrance::SecondHardLink},
    {"FolderWithoutWritePermission", Hindrance::FolderWithoutWritePermission},
    {"BindMountedFile", Hindrance::BindMountedFile},
};

class InPlaceWriteTest : public SettingsStoreTest, public testing::WithParamInterface<InPlaceCase> {
protected:
    // Sets the hindrance up around the file; false when this process may not.
    bool hinder(Hindrance hindrance)
    {
        const QByteArray file = QFile::encodeName(configFile());
        const QByteArray elsewhere = QFile::encodeName(home() + QStringLiteral("/elsewhere.conf"));
        switch (hindrance) {
        case Hindrance::None:
            return true;
        case Hindrance::SecondHardLink:
            return link(file.constData(), elsewhere.constData()) == 0;
        case Hindrance::FolderWithoutWritePermission:
            return chmod(QFile::encodeName(appDir()).constData(), 0500) == 0;
        case Hindrance::BindMountedFile:
            if (rename(file.constData(), elsewhere.constData()) != 0 || !QFile(configFile()).open(QIODevice::WriteOnly))
                return false;
            if (mount(elsewhere.constData(), file.constData(), nullptr, MS_BIND, nullptr) != 0)
                return false;
            m_mountPoint = configFile();
            return true;
        }
        return false;
    }
};

// Where the new file cannot be renamed over the old one, or would part it from
// its other names, the file itself gets the new text; it stays the same file.
TEST_P(InPlaceWriteTest, TheSameFileGetsTheNewText)
{
    if (!homeForOrdinaryUser())
        GTEST_SKIP() << noHomeForOrdinaryUser;
    const auto& c = GetParam();
    writeConfig(c.hindrance == Hindrance::None ? fiveAfterX1 : "[Settings]\nX=1\n");
    giveToOrdinaryUser({home(), appDir(), configFile()});
    if (!hinder(c.hindrance))
        GTEST_SKIP() << "this process may not set up " << c.name << " (a bind mount needs CAP_SYS_ADMIN)";
    struct stat before {};
    ASSERT_EQ(stat(QFile::encodeName(configFile()).constData(), &before), 0);
    bool committed = false;
    std::string errors;
    {
        const AsOrdinaryFileUser user;
        SettingsStore store(app);
        saveFive(store);
        StderrCapture capture;
        committed = store.commit();
        errors = capture.text();
    }
    chmod(QFile::encodeName(appDir()).constData(), 0700);
    EXPECT_TRUE(committed);
    EXPECT_EQ(errors, "");
    EXPECT_EQ(readConfig(), fiveAfterX1);
    struct stat after {};
    ASSERT_EQ(stat(QFile::encodeName(configFile()).constData(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
}

INSTANTIATE_TEST_SUITE_P(Table, InPlaceWriteTest, testing::ValuesIn(inPlaceCases), RowName{});

// A user other than root and the ordinary one, for files of someone else.
constexpr uid_t AnotherUser = 12345;

[[nodiscard]] QByteArray fileText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

enum class Foreign { LinkToRootsFile, LinkToAnotherUsersFile, LinkOfAnotherUser, HardLinkToRootsFile };

struct ForeignCase {
    const char* name;
    Foreign foreign;
    const char* reason;
};

const ForeignCase foreignCases[] = {
    {"LinkToRootsFile", Foreign::LinkToRootsFile, "it belongs to another user than its folder"},
    {"LinkToAnotherUsersFile", Foreign::LinkToAnotherUsersFile, "it belongs to another user than its folder"},
    {"LinkOfAnotherUser", Foreign::LinkOfAnotherUser, "it is a link of another user"},
    {"HardLinkToRootsFile", Foreign::HardLinkToRootsFile, "it belongs to another user than its folder"},
};

class ForeignFileTest : public SettingsStoreTest, public testing::WithParamInterface<ForeignCase> {};

// Root's program, started with the user's HOME, finds in the user's settings
// folder a link or a hard link to a file that is not the user's: it writes
// nothing there and says so in one line.
TEST_P(ForeignFileTest, IsLeftAloneWithOneLine)
{
    const auto& c = GetParam();
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root, to make files of other users";
    if (!homeForOrdinaryUser())
        GTEST_SKIP() << noHomeForOrdinaryUser;
    const QByteArray foreign = QFile::encodeName(home() + QStringLiteral("/foreign.conf"));
    const QByteArray theirs = "[Settings]\nX=1\n";
    {
        QFile file(QString::fromLocal8Bit(foreign));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(theirs);
    }
    const uid_t owner =
        c.foreign == Foreign::LinkToRootsFile || c.foreign == Foreign::HardLinkToRootsFile ? 0 : AnotherUser;
    ASSERT_EQ(chown(foreign.constData(), owner, owner), 0);
    ASSERT_TRUE(QDir().mkpath(appDir()));
    const QByteArray file = QFile::encodeName(configFile());
    ASSERT_EQ(chown(QFile::encodeName(appDir()).constData(), AsOrdinaryFileUser::Nobody, AsOrdinaryFileUser::Nobody),
              0);
    if (c.foreign == Foreign::HardLinkToRootsFile) {
        ASSERT_EQ(link(foreign.constData(), file.constData()), 0);
    } else {
        ASSERT_EQ(symlink(foreign.constData(), file.constData()), 0);
        const uid_t linkOwner = c.foreign == Foreign::LinkOfAnotherUser ? AnotherUser : AsOrdinaryFileUser::Nobody;
        ASSERT_EQ(lchown(file.constData(), linkOwner, linkOwner), 0);
    }
    SettingsStore store(app);
    saveFive(store);
    StderrCapture capture;
    EXPECT_FALSE(store.commit());
    EXPECT_EQ(capture.text(), "quillmar: could not save settings to " + configFile().toStdString() + ": " + c.reason +
                                  ", so it is left as it is\n");
    EXPECT_EQ(fileText(QString::fromLocal8Bit(foreign)), theirs);
}

INSTANTIATE_TEST_SUITE_P(Table, ForeignFileTest, testing::ValuesIn(foreignCases), RowName{});

// Root's close in a user's settings folder hands the file it makes to the
// folder's owner, whose own program could not write it again otherwise.
TEST_F(SettingsStoreTest, ANewFileBelongsToTheFoldersOwner)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root, to write into a folder of another user";
    if (!homeForOrdinaryUser())
        GTEST_SKIP() << noHomeForOrdinaryUser;
    ASSERT_TRUE(QDir().mkpath(appDir()));
    giveToOrdinaryUser({appDir()});
    SettingsStore store(app);
    saveFive(store);
    ASSERT_TRUE(store.commit());
    struct stat status {};
    ASSERT_EQ(stat(QFile::encodeName(configFile()).constData(), &status), 0);
    EXPECT_EQ(status.st_uid, AsOrdinaryFileUser::Nobody);
    EXPECT_EQ(status.st_gid, AsOrdinaryFileUser::Nobody);
    EXPECT_EQ(readConfig(), fiveInTheFile);
}

struct SwapCase {
    const char* name;
    // The settings file has a second name, so that it is rewritten in place.
    bool hardLinked;
};

const SwapCase swapCases[] = {{"Replaced", false}, {"RewrittenInPlace", true}};

class SwapRaceTest : public SettingsStoreTest, public testing::WithParamInterface<SwapCase> {};

// While root's program closes again and again, the user swaps the settings
// file for a link to root's file and back: root's file is never written.
TEST_P(SwapRaceTest, NeverWritesTheLinksTarget)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root, to write as root into a folder of another user";
    if (!homeForOrdinaryUser())
        GTEST_SKIP() << noHomeForOrdinaryUser;
    const QByteArray foreign = QFile::encodeName(home() + QStringLiteral("/foreign.conf"));
    const QByteArray theirs = "# root's\n[Settings]\nX=1\n";
    {
        QFile file(QString::fromLocal8Bit(foreign));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(theirs);
    }
    writeConfig("[Settings]\nX=2\n");
    const std::string folder = QFile::encodeName(appDir()).toStdString();
    const std::string file = QFile::encodeName(configFile()).toStdString();
    const std::string keeper = folder + "/keeper";
    ASSERT_EQ(link(file.c_str(), keeper.c_str()), 0);
    giveToOrdinaryUser({appDir(), configFile()});

    std::atomic<bool> done = false;
    std::thread user([&] {
        const std::string swap = folder + "/swap";
        for (bool toLink = true; !done; toLink = !toLink) {
            if (toLink) {
                symlink(foreign.constData(), swap.c_str());
                lchown(swap.c_str(), AsOrdinaryFileUser::Nobody, AsOrdinaryFileUser::Nobody);
            } else if (GetParam().hardLinked) {
                link(keeper.c_str(), swap.c_str());
            } else {
                close(open(swap.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600));
                chown(swap.c_str(), AsOrdinaryFileUser::Nobody, AsOrdinaryFileUser::Nobody);
            }
            rename(swap.c_str(), file.c_str());
        }
    });
    for (int close = 0; close < 300; ++close) {
        SettingsStore store(app);
        store.SaveSetting(section, "X", std::to_string(close));
        StderrCapture capture;
        static_cast<void>(store.commit());
    }
    done = true;
    user.join();
    EXPECT_EQ(fileText(QString::fromLocal8Bit(foreign)), theirs);
}

INSTANTIATE_TEST_SUITE_P(Table, SwapRaceTest, testing::ValuesIn(swapCases), RowName{});

// Whether text is before or after whole: after may be followed by the comment
// line that pads it to an earlier, longer length.
[[nodiscard]] bool isWhole(const QByteArray& text, const std::string& before, const std::string& after)
{
    if (text.toStdString() == before)
        return true;
    if (!text.startsWith(QByteArray::fromStdString(after)))
        return false;
    QByteArray pad = text.mid(static_cast<qsizetype>(after.size()));
    if (pad.startsWith('\n') && !after.ends_with('\n'))
        pad.remove(0, 1);
    return pad.isEmpty() || (pad.startsWith('#') && pad.count(' ') == pad.size() - 1);
}

struct KillCase {
    const char* name;
    const char* before;
    SettingsFile::Values values;
};

const KillCase killCases[] = {
    {"Shorter", "# mine\n[Settings]\nDrive=/media/usb\nX=1440\n\n[Other]\nK=v\n", {{"Drive", "/"}, {"X", "1"}}},
    {"Longer",
     "# mine\n[Settings]\nDrive=/media/usb\nX=1440\n\n[Other]\nK=v\n",
     {{"Drive", "/media/backup"}, {"X", "-14400"}, {"Y", "720"}}},
    {"ShorterWithoutLastLineEnd", "[Settings]\nDrive=/media/usb\n; mine", {{"Drive", "/"}}},
    {"OneByteShorter", "[Settings]\r\nX=10\r\n", {{"X", "9"}}},
};

class InPlaceInterruptionTest : public SettingsStoreTest, public testing::WithParamInterface<KillCase> {
protected:
    // The file as before, with a second name so that it is rewritten in place.
    void setUpFile(const char* before)
    {
        writeConfig(before);
        const QByteArray other = QFile::encodeName(home() + QStringLiteral("/other-name.conf"));
        unlink(other.constData());
        ASSERT_EQ(link(QFile::encodeName(configFile()).constData(), other.constData()), 0);
    }
};

// A kill before any of the rewrite's system calls leaves the old text or the
// new one, each whole: no NUL, no old tail, every other line kept.
TEST_P(InPlaceInterruptionTest, AKillAtAnyCallLeavesOneWholeText)
{
    const auto& c = GetParam();
    const std::string after = SettingsFile::WithValues(c.before, section, c.values);
    const std::string path = QFile::encodeName(configFile()).toStdString();
    for (int killedAt = 0;; ++killedAt) {
        setUpFile(c.before);
        const pid_t child = fork();
        if (child == 0) {
            int call = 0;
            const std::string problem = AtomicFile::Replace(path, after, [&](std::string_view) {
                if (call++ == killedAt)
                    raise(SIGKILL);
                return 0;
            });
            _exit(problem.empty() ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        const QByteArray text = readConfig();
        EXPECT_TRUE(isWhole(text, c.before, after)) << "killed at call " << killedAt << ": " << text.toStdString();
        if (WIFEXITED(status)) {
            EXPECT_EQ(WEXITSTATUS(status), 0);
            EXPECT_EQ(text.toStdString(), after);
            EXPECT_GT(killedAt, 2);
            break;
        }
    }
}

// A failure of any of its system calls leaves the old text or the new one,
// each whole, and is reported.
TEST_P(InPlaceInterruptionTest, AFailureAtAnyCallLeavesOneWholeText)
{
    const auto& c = GetParam();
    const std::string after = SettingsFile::WithValues(c.before, section, c.values);
    const std::string path = QFile::encodeName(configFile()).toStdString();
    for (int failedAt = 0;; ++failedAt) {
        setUpFile(c.before);
        int call = 0;
        const std::string problem =
            AtomicFile::Replace(path, after, [&](std::string_view) { return call++ == failedAt ? EIO : 0; });
        const QByteArray text = readConfig();
        EXPECT_TRUE(isWhole(text, c.before, after)) << "failed at call " << failedAt << ": " << text.toStdString();
        if (call <= failedAt) {
            EXPECT_EQ(problem, "");
            EXPECT_EQ(text.toStdString(), after);
            break;
        }
        EXPECT_EQ(problem, "Input/output error");
    }
}

INSTANTIATE_TEST_SUITE_P(Table, InPlaceInterruptionTest, testing::ValuesIn(killCases), RowName{});

} // namespace
