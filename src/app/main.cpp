#include "MainWindow.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ordana 2004 Velto"));

    MainWindow window;
    window.show();
    return QApplication::exec();
}
