// The reference for startup_bench: an empty main window of the program's size,
// built with the same Qt, that says when it is first on the screen exactly as
// the program does.

#include "ShownReport.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(760, 485);
    window.show();
    platform::reportFirstShown(window);
    return QApplication::exec();
}
