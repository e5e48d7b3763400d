#pragma once

#include "LabelLayout.h"

#include <QDateTime>
#include <QFont>
#include <QLocale>
#include <QString>
#include <QTransform>

#include <functional>

class QPainter;
class QPaintDevice;
class QPrinter;

namespace labels {

class RecordSource;

// What a print job came to.
struct PrintOutcome {
    int records = 0; // records drawn
    int sheets = 0;  // sheets begun
    bool complete = true;
    QString error; // why the job ended early
};

// Draws the labels of a print, sheet after sheet, onto a painter over any
// paint device: a printer in the program, a recording device in tests. The
// painter works in 0.1 mm from the top left of the printable area, downwards.
class LabelPrinter {
  public:
    LabelPrinter(Print print, io::AddressChoice choice, QDateTime now, QLocale locale = QLocale::system());

    // Draws every record of records (from the current one on) onto painter,
    // which is active on its device; newSheet starts the next sheet and says
    // whether it could. A record that cannot be read or a sheet that cannot
    // be started ends the drawing: what was drawn stays.
    PrintOutcome draw(QPainter& painter, RecordSource& records, const std::function<bool()>& newSheet) const;

    // A job on printer: begins it, draws, and ends it with what was drawn.
    PrintOutcome print(QPrinter& printer, RecordSource& records) const;

    // The labels' font: a plain sans in regular style (the family of the
    // program's windows), sized in the painter's units so that one line of
    // text is kLineHeight high.
    static QFont labelFont();
    // From 0.1 mm to the device's pixels.
    static QTransform unitsFor(const QPaintDevice& device);

    static QString sheetFailedMessage();
    static QString printerFailedMessage();

  private:
    // Draws the lines of a label placed at place; a line wider than the room
    // left of right is narrowed to it, so that every character is printed.
    void drawLines(QPainter& painter, const Placement& place, double right, const QList<Line>& lines) const;

    Print m_print;
    io::AddressChoice m_choice;
    QDateTime m_now;
    QLocale m_locale;
};

} // namespace labels
