// The floors of the per-second cost measurement (idle_cost.sh): a Qt window of
// the main window's size with one line of text (so that, like any real window,
// it loads the desktop's fonts), a drop-down list of one entry and a
// one-second timer.
//
//   bare_window           the timer does nothing: the quiet floor
//   bare_window --busy    the label shows a new number at every tick: the floor
//                         of a window whose figures change every second
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <cstring>

int main(int argc, char* argv[])
{
    const bool busy = argc > 1 && std::strcmp(argv[1], "--busy") == 0;
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    auto* list = new QComboBox(&window);
    list->addItem(QStringLiteral("/"));
    auto* label = new QLabel(QStringLiteral("Bare window"), &window);
    label->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(list);
    layout->addWidget(label, 1);
    // Laid out before it is shown, as any real window is: that sets up the
    // font database before the window maps, not after.
    window.setFixedSize(window.sizeHint().expandedTo(QSize(321, 377)));

    QTimer timer;
    qint64 ticks = 0;
    QObject::connect(&timer, &QTimer::timeout, label, [&] {
        if (busy)
            label->setText(QLocale::c().toString(1'000'000'000'000 - ++ticks * 4096));
    });
    timer.start(1000);
    window.show();
    return app.exec();
}
