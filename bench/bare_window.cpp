// The floors of the per-second cost measurement (idle_cost.sh): a Qt window of
// the main window's size showing one line of text (so that, like any real
// window, it loads the desktop's fonts) with a one-second timer.
//
//   bare_window           the timer does nothing: the quiet floor
//   bare_window --busy    the label shows a new number at every tick: the floor
//                         of a window whose figures change every second
#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QTimer>

#include <cstring>

int main(int argc, char* argv[])
{
    const bool busy = argc > 1 && std::strcmp(argv[1], "--busy") == 0;
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("Bare window"));
    window.setWindowTitle(QStringLiteral("Bare window"));
    // Laid out to its text before it is shown, as any real window is: that
    // sets up the font database before the window maps, not after.
    window.setFixedSize(window.sizeHint().expandedTo(QSize(321, 377)));
    window.setAlignment(Qt::AlignCenter);

    QTimer timer;
    qint64 ticks = 0;
    QObject::connect(&timer, &QTimer::timeout, &window, [&] {
        if (busy)
            window.setText(QLocale::c().toString(1'000'000'000'000 - ++ticks * 4096));
    });
    timer.start(1000);
    window.show();
    return app.exec();
}
