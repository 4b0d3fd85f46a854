#include "AppInfo.h"
#include "app/qt/CommandLine.h"
#include "app/qt/MainForm.h"
#include "app/qt/QuitSignals.h"
#include "app/qt/TextConversion.h"
#include "settings/SettingsStore.h"

#include <QApplication>
#include <QSessionManager>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

namespace {

// Qt ends a failure to open the window system (a display named but not there,
// a platform plugin missing) with an abort and a core dump. While it opens,
// such a failure ends the program with status 1 instead, after Qt's own
// account of it, as a display not named at all does.
class EndQuietlyIfNoWindowSystem {
public:
    EndQuietlyIfNoWindowSystem() { s_previous = qInstallMessageHandler(&handle); }
    ~EndQuietlyIfNoWindowSystem() { qInstallMessageHandler(s_previous); }
    EndQuietlyIfNoWindowSystem(const EndQuietlyIfNoWindowSystem&) = delete;
    EndQuietlyIfNoWindowSystem& operator=(const EndQuietlyIfNoWindowSystem&) = delete;

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        if (type != QtFatalMsg) {
            s_previous(type, context, message);
            return;
        }
        s_previous(QtCriticalMsg, context, message);
        std::_Exit(1);
    }
    static inline QtMessageHandler s_previous = nullptr;
};

} // namespace

int main(int argc, char* argv[])
{
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    // Written with stdio: the program's window needs no C++ streams, and setting
    // them up would only cost memory at every start.
    auto reply = CommandLine::Answer(arguments);
    if (!reply)
        reply = CommandLine::NoDisplay(std::getenv("QT_QPA_PLATFORM"), std::getenv("DISPLAY"),
                                       std::getenv("WAYLAND_DISPLAY"));
    if (reply) {
        std::fputs(reply->text.c_str(), reply->exitStatus == 0 ? stdout : stderr);
        return reply->exitStatus;
    }

    std::optional<EndQuietlyIfNoWindowSystem> opening(std::in_place);
    QApplication app(argc, argv);
    opening.reset();
    QApplication::setApplicationName(toQString(AppInfo::Title));
    QApplication::setApplicationVersion(toQString(AppInfo::VersionNumber));

    // The services, once for the program; the store outlives the window.
    SettingsStore settings(AppInfo::Title);
    mainform window(Services{platformDriveSpaceAsker(), settings, DriveList::ListDrives, std::chrono::steady_clock::now,
                             currentDirectory()});
    // Logging out or a request to stop closes the window as the user would, so
    // the settings are written on the way out.
    closeOnQuitSignals(&window);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager&) { window.close(); });
    window.show();
    return app.exec();
}
