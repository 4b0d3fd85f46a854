// The floor for the idle measurement: a Qt window of the main window's size
// showing one line of text (so that, like any real window, it loads the
// desktop's fonts), and doing nothing else.
#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("Bare window"));
    window.setWindowTitle(QStringLiteral("Bare window"));
    // Laid out to its text before it is shown, as any real window is: that
    // sets up the font database before the window maps, not after.
    window.setFixedSize(window.sizeHint().expandedTo(QSize(321, 377)));
    window.show();
    return app.exec();
}
