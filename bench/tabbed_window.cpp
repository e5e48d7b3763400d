// A second reference for startup_bench (--compare): the least a window of the
// program's shape has to do. A main window of the program's size with the
// program's three menus and five tabs, each holding one caption and one
// field, in the program's font; it says when it is first on the screen
// exactly as the program does.

#include "ProgramFont.h"
#include "ShownReport.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QTabWidget>
#include <QVBoxLayout>

int main(int argc, char* argv[]) {
    platform::FontConfigurationReader fontConfiguration;
    QApplication app(argc, argv);
    fontConfiguration.wait();
    QApplication::setFont(platform::programFont());
    QMainWindow window;
    for (const QString& menu :
         {QStringLiteral("So&ubor"), QStringLiteral("N&astavení"), QStringLiteral("Nápově&da")})
        window.menuBar()->addMenu(menu)->addAction(QStringLiteral("&Konec"), &window, &QWidget::close);
    auto* tabs = new QTabWidget;
    for (const QString& caption : {QStringLiteral("    &Osoby    "), QStringLiteral("    &Firmy    "),
                                   QStringLiteral("    &Vlastní    "), QStringLiteral("    &Informace    "),
                                   QStringLiteral("    Na &webu    ")}) {
        auto* page = new QWidget;
        auto* layout = new QVBoxLayout(page);
        auto* field = new QLineEdit;
        auto* label = new QLabel(QStringLiteral("&Příjmení"));
        label->setBuddy(field);
        layout->addWidget(label);
        layout->addWidget(field);
        layout->addStretch();
        tabs->addTab(page, caption);
    }
    window.setCentralWidget(tabs);
    window.resize(760, 485);
    window.show();
    platform::reportFirstShown(window);
    return QApplication::exec();
}
