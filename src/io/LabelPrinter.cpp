#include "LabelPrinter.h"

#include "LabelRecords.h"

#include <QFile>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPaintDevice>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <cmath>

namespace labels {

namespace {

// Tenths of a millimetre in an inch.
constexpr double kUnitsPerInch = 254.0;

} // namespace

LabelPrinter::LabelPrinter(Print print, io::AddressChoice choice, QDateTime now, QLocale locale)
    : m_print(print), m_choice(choice), m_now(std::move(now)), m_locale(std::move(locale)) {}

QString LabelPrinter::sheetFailedMessage() {
    return QStringLiteral("Tiskárna nepřijala další list.");
}

QString LabelPrinter::printerFailedMessage() {
    return QStringLiteral("Tiskárna nepřijala tiskovou úlohu.");
}

QFont LabelPrinter::labelFont() {
    QFont font = QGuiApplication::font();
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    // The line height (ascent and descent) grows with the pixel size: measure
    // it on a large size and scale down to the nearest whole size.
    constexpr int kProbe = 200;
    font.setPixelSize(kProbe);
    const double probeHeight = QFontMetricsF(font).height();
    const int size = probeHeight > 0 ? int(std::lround(kLineHeight * kProbe / probeHeight)) : kLineHeight;
    font.setPixelSize(std::max(1, size));
    return font;
}

QTransform LabelPrinter::unitsFor(const QPaintDevice& device) {
    return QTransform::fromScale(device.logicalDpiX() / kUnitsPerInch, device.logicalDpiY() / kUnitsPerInch);
}

void LabelPrinter::drawLines(QPainter& painter, const Placement& place, double right,
                             const QList<Line>& lines) const {
    // Qt places text by its baseline; a label line is placed by its top.
    const QFontMetricsF metrics(painter.font());
    const double room = right - place.left;
    for (const Line& line : lines) {
        const QPointF baseline(place.left, place.top + line.offset + metrics.ascent());
        const double width = metrics.horizontalAdvance(line.text);
        if (width <= room || room <= 0) {
            painter.drawText(baseline, line.text);
            continue;
        }
        painter.save();
        painter.translate(baseline);
        painter.scale(room / width, 1);
        painter.drawText(QPointF(0, 0), line.text);
        painter.restore();
    }
}

PrintOutcome LabelPrinter::draw(QPainter& painter, RecordSource& records,
                                const std::function<bool()>& newSheet) const {
    PrintOutcome out;
    painter.setWorldTransform(unitsFor(*painter.device()));
    painter.setFont(labelFont());
    painter.setPen(Qt::black);
    // The printable area may end before the last label does.
    const QPaintDevice& device = *painter.device();
    const double printableRight =
        device.logicalDpiX() > 0 ? device.width() * kUnitsPerInch / device.logicalDpiX() : 0;
    const auto rightOf = [printableRight](const Placement& place) {
        return printableRight > 0 ? std::min<double>(place.right, printableRight) : place.right;
    };
    const int columns = int(kColumnLefts.size());
    while (!records.atEnd()) {
        if (out.sheets > 0 && !newSheet()) {
            out.complete = false;
            out.error = sheetFailedMessage();
            return out;
        }
        const Placement info = informationPlacement(out.sheets);
        drawLines(painter, info, rightOf(info), informationBlock(m_now, m_locale));
        ++out.sheets;
        for (int label = 1; label < kRowsPerSheet * columns && !records.atEnd(); ++label) {
            const Placement place = recordPlacement(out.records);
            drawLines(painter, place, rightOf(place),
                      recordLines(
                          m_print, [&records](const QString& c) { return records.text(c); }, m_choice));
            ++out.records;
            QString error;
            if (!records.next(error)) {
                out.complete = false;
                out.error = error;
                return out;
            }
        }
    }
    return out;
}

namespace {

// Printing to a PDF file ends without an error when the file could not be
// written to the end (a full disk): only a file ending in the PDF trailer
// holds the whole job.
bool pdfComplete(const QPrinter& printer) {
    if (printer.outputFormat() != QPrinter::PdfFormat || printer.outputFileName().isEmpty()) return true;
    QFile file(printer.outputFileName());
    if (!file.open(QIODevice::ReadOnly) || file.size() < 16 || !file.seek(file.size() - 16)) return false;
    return file.read(16).contains("%%EOF");
}

} // namespace

PrintOutcome LabelPrinter::print(QPrinter& printer, RecordSource& records) const {
    QPainter painter;
    if (!painter.begin(&printer)) {
        PrintOutcome failed;
        failed.complete = false;
        failed.error = printerFailedMessage();
        return failed;
    }
    PrintOutcome out = draw(painter, records, [&printer] { return printer.newPage(); });
    const bool ended = painter.end();
    if (out.complete && (!ended || printer.printerState() == QPrinter::Error || !pdfComplete(printer))) {
        out.complete = false;
        out.error = printerFailedMessage();
    }
    return out;
}

} // namespace labels
