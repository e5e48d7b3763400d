#pragma once

#include <QMainWindow>
#include <QSize>

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // Size of the working area below the menu bar when the program starts.
    static constexpr QSize kClientSize{752, 431};

    explicit MainWindow(QWidget* parent = nullptr);
};
