#include "MainWindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Ordana 2004 Velto"));

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    // The start-up size is also the smallest usable one: with the usual window
    // border and title bar it gives an outer frame of 760 x 485. The limit sits
    // on the client area so that a menu or status bar adds to it instead of
    // eating into it.
    client->setMinimumSize(kClientSize);
    setCentralWidget(client);

    resize(minimumSizeHint());

    const QScreen* scr = screen() ? screen() : QGuiApplication::primaryScreen();
    if (scr)
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), scr->availableGeometry()));
}
