#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mesk config program"));
    QMainWindow w;
    w.setWindowTitle(QStringLiteral("Mesk config program"));
    w.show();
    return app.exec();
}
