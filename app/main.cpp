#include "AppInfo.h"
#include "app/CommandLine.h"
#include "app/QuitSignals.h"
#include "app/TextConversion.h"
#include "app/mainform.h"

#include <QApplication>
#include <QSessionManager>

#include <cstdio>
#include <string_view>
#include <vector>

int main(int argc, char* argv[])
{
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    // Written with stdio: the program's window needs no C++ streams, and setting
    // them up would only cost memory at every start.
    if (const auto reply = CommandLine::Answer(arguments)) {
        std::fputs(reply->text.c_str(), reply->exitStatus == 0 ? stdout : stderr);
        return reply->exitStatus;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(toQString(AppInfo::Title));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(AppInfo::Major).arg(AppInfo::Minor).arg(AppInfo::Revision));

    mainform window;
    // Logging out or a request to stop closes the window as the user would, so
    // the settings are written on the way out.
    closeOnQuitSignals(&window);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager&) { window.close(); });
    window.show();
    return app.exec();
}
