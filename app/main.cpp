#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("Quillmar: the main window is on its way."));
    window.resize(321, 377);
    window.show();
    return app.exec();
}
