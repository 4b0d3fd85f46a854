#include "AppInfo.h"
#include "app/qt/CommandLine.h"
#include "app/qt/MainForm.h"
#include "app/qt/QuitSignals.h"
#include "settings/SettingsStore.h"

#include <QApplication>
#include <QSessionManager>

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

QtMessageHandler qtHandler = nullptr;

// Qt ends a failure to open the window system (a display named but not there, a
// platform plugin missing) with an abort and a core dump; while it opens, such a
// failure ends the program with status 1 after Qt's account, as no display does.
void endQuietlyIfFatal(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    qtHandler(type == QtFatalMsg ? QtCriticalMsg : type, context, message);
    if (type == QtFatalMsg)
        std::_Exit(1);
}

} // namespace

int main(int argc, char* argv[])
{
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    // Written with stdio: C++ streams, which the window does not need, cost memory at every start.
    auto reply = CommandLine::Answer(arguments);
    if (!reply)
        reply = CommandLine::NoDisplay(std::getenv("QT_QPA_PLATFORM"), std::getenv("DISPLAY"),
                                       std::getenv("WAYLAND_DISPLAY"));
    if (reply) {
        std::fputs(reply->text.c_str(), reply->exitStatus == 0 ? stdout : stderr);
        return reply->exitStatus;
    }

    qtHandler = qInstallMessageHandler(endQuietlyIfFatal);
    QApplication app(argc, argv);
    qInstallMessageHandler(qtHandler);
    QApplication::setApplicationName(QString::fromUtf8(AppInfo::Title));
    QApplication::setApplicationVersion(QString::fromUtf8(AppInfo::VersionNumber));

    // The services, once for the program; the store outlives the window.
    SettingsStore settings(AppInfo::Title);
    mainform window(Services{platformDriveSpaceAsker(), settings, DriveList::ListDrives, std::chrono::steady_clock::now,
                             currentDirectory()});
    // Logging out or a request to stop closes the window as the user would, writing the settings.
    closeOnQuitSignals(&window);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager&) { window.close(); });
    window.show();
    return app.exec();
}
