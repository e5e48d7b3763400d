// Labels drawn onto a recording paint device (every text with its place, and
// the sheet breaks) and onto a PDF file, and the dialog that asks which
// address of personal records to print.

#include "LabelPrinter.h"
#include "LabelRecords.h"
#include "PrintParametersDialog.h"

#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// One text drawn: on which sheet, its left and top edges in 0.1 mm as they
// land on the device, and its line height.
struct Drawn {
    int sheet = 0;
    QPointF topLeft;
    double height = 0;
    QString text;
    double right = 0; // where the text ends
    bool operator==(const Drawn&) const = default;
};

constexpr int kDpi = 600;

class RecordingEngine : public QPaintEngine {
  public:
    RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState& state) override {
        if (state.state() & QPaintEngine::DirtyTransform) m_transform = state.transform();
    }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        // Device pixels back to 0.1 mm; the item's ascent is in the painter's units.
        const QPointF baseline = m_transform.map(p) * (254.0 / kDpi);
        const QPointF end = m_transform.map(p + QPointF(item.width(), 0)) * (254.0 / kDpi);
        drawn.append({sheet, QPointF(baseline.x(), baseline.y() - item.ascent()),
                      item.ascent() + item.descent(), item.text(), end.x()});
    }
    Type type() const override { return QPaintEngine::User; }

    QList<Drawn> drawn;
    int sheet = 0;

  private:
    QTransform m_transform;
};

// An A4 sheet at 600 dpi that records what is drawn on it.
class RecordingDevice : public QPaintDevice {
  public:
    QPaintEngine* paintEngine() const override { return &m_engine; }
    bool newSheet() {
        if (failSheets) return false;
        ++m_engine.sheet;
        return true;
    }
    const QList<Drawn>& drawn() const { return m_engine.drawn; }
    int sheets() const { return m_engine.sheet + 1; }
    bool failSheets = false;

  protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
        case PdmWidth:
            return 210 * kDpi * 10 / 254;
        case PdmHeight:
            return 297 * kDpi * 10 / 254;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return kDpi;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return QPaintDevice::metric(metric);
        }
    }

  private:
    mutable RecordingEngine m_engine;
};

// Persons numbered 1, 2 …: surname "Osoba<n>" unless one is given; a reading
// error after failAfter records.
class Persons : public labels::RecordSource {
  public:
    explicit Persons(int count, int failAfter = -1, QString surname = {})
        : m_count(count), m_failAfter(failAfter), m_surname(std::move(surname)) {}
    bool atEnd() const override { return m_at >= m_count; }
    QString text(const QString& column) const override {
        if (column == u"Prijmeni")
            return m_surname.isEmpty() ? u"Osoba"_s + QString::number(m_at + 1) : m_surname;
        if (column == u"Obec") return u"Brno"_s;
        return {};
    }
    bool next(QString& error) override {
        if (m_at + 1 == m_failAfter) {
            error = u"disk I/O error"_s;
            return false;
        }
        ++m_at;
        return true;
    }

  private:
    int m_at = 0;
    int m_count;
    int m_failAfter;
    QString m_surname;
};

const QDateTime kWhen(QDate(2004, 3, 7), QTime(9, 5, 4));

labels::PrintOutcome drawPersons(RecordingDevice& device, labels::RecordSource& records) {
    QPainter painter(&device);
    return labels::LabelPrinter(labels::Print::Persons, io::AddressChoice::RecordDefault, kWhen)
        .draw(painter, records, [&device] { return device.newSheet(); });
}

// The first drawn text that equals text, or one at sheet -1.
Drawn find(const QList<Drawn>& drawn, const QString& text) {
    for (const Drawn& d : drawn)
        if (d.text == text) return d;
    return Drawn{-1, {}, 0, {}};
}

} // namespace

class TestLabelPrinter : public QObject {
    Q_OBJECT

  private slots:
    void sheets_data();
    void sheets();
    void endsEarly_data();
    void endsEarly();
    void staysOnLabel_data();
    void staysOnLabel();
    void pdfPages();
    void parametersKeys_data();
    void parametersKeys();
};

void TestLabelPrinter::sheets_data() {
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("sheets");
    QTest::addColumn<int>("lastSheet");
    QTest::addColumn<QPoint>("lastLabel"); // left and top of the last record's label
    QTest::newRow("one record") << 1 << 1 << 0 << QPoint(800, 0);
    QTest::newRow("two records") << 2 << 1 << 0 << QPoint(1500, 0);
    QTest::newRow("a full sheet") << 23 << 1 << 0 << QPoint(1500, 2590);
    QTest::newRow("one over") << 24 << 2 << 1 << QPoint(800, 0);
    QTest::newRow("two full sheets") << 46 << 2 << 1 << QPoint(1500, 2590);
}

// The information block opens every sheet; the records fill the labels after it.
void TestLabelPrinter::sheets() {
    QFETCH(int, records);
    QFETCH(int, sheets);
    QFETCH(int, lastSheet);
    QFETCH(QPoint, lastLabel);
    RecordingDevice device;
    Persons persons(records);
    const labels::PrintOutcome outcome = drawPersons(device, persons);
    QVERIFY(outcome.complete);
    QCOMPARE(outcome.records, records);
    QCOMPARE(outcome.sheets, sheets);
    QCOMPARE(device.sheets(), sheets);

    // Every line of text is 3.5 mm high.
    QList<Drawn> captions;
    for (const Drawn& d : device.drawn()) {
        QVERIFY2(qAbs(d.height - 35) <= 1.0, qPrintable(QString::number(d.height)));
        if (d.text == u"Ordana 2004 Velto") captions.append(d);
    }
    QCOMPARE(captions.size(), sheets);
    for (int sheet = 0; sheet < sheets; ++sheet) {
        QCOMPARE(captions[sheet].sheet, sheet);
        QCOMPARE(qRound(captions[sheet].topLeft.x()), 100);
        QCOMPARE(qRound(captions[sheet].topLeft.y()), 40);
    }
    const Drawn first = find(device.drawn(), u"Osoba1  "_s);
    QCOMPARE(first.sheet, 0);
    QCOMPARE(first.topLeft.toPoint(), QPoint(800, 40));
    const Drawn last = find(device.drawn(), u"Osoba"_s + QString::number(records) + u"  "_s);
    QCOMPARE(last.sheet, lastSheet);
    QCOMPARE(last.topLeft.toPoint(), lastLabel + QPoint(0, 40));
    // The municipality line of the last record: a line lower.
    const Drawn town = device.drawn()[device.drawn().indexOf(last) + 1];
    QCOMPARE(town.text, u"Brno"_s);
    QCOMPARE(town.topLeft.toPoint(), lastLabel + QPoint(0, 110));
}

void TestLabelPrinter::endsEarly_data() {
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("failAfter");
    QTest::addColumn<bool>("failSheets");
    QTest::addColumn<int>("drawn");
    QTest::addColumn<QString>("error");
    QTest::newRow("reading the 5th row fails") << 30 << 5 << false << 5 << u"disk I/O error"_s;
    QTest::newRow("reading fails at the sheet's end") << 30 << 23 << false << 23 << u"disk I/O error"_s;
    QTest::newRow("no second sheet") << 30 << -1 << true << 23 << labels::LabelPrinter::sheetFailedMessage();
}

// A record that cannot be read or a sheet that cannot begin ends the drawing:
// what was drawn stays and the outcome says why.
void TestLabelPrinter::endsEarly() {
    QFETCH(int, records);
    QFETCH(int, failAfter);
    QFETCH(bool, failSheets);
    QFETCH(int, drawn);
    QFETCH(QString, error);
    RecordingDevice device;
    device.failSheets = failSheets;
    Persons persons(records, failAfter);
    const labels::PrintOutcome outcome = drawPersons(device, persons);
    QVERIFY(!outcome.complete);
    QCOMPARE(outcome.records, drawn);
    QCOMPARE(outcome.error, error);
    QCOMPARE(device.sheets(), 1);
    QVERIFY(find(device.drawn(), u"Osoba"_s + QString::number(drawn) + u"  "_s).sheet == 0);
    QCOMPARE(find(device.drawn(), u"Osoba"_s + QString::number(drawn + 1) + u"  "_s).sheet, -1);
}

void TestLabelPrinter::staysOnLabel_data() {
    QTest::addColumn<QString>("surname");
    QTest::addColumn<bool>("narrowed");
    QTest::newRow("short name") << u"Nováková"_s << false;
    QTest::newRow("one long word") << u"Nejneobhospodařovávatelnějšímipozemkovýmiúpravamiodstupňovanými"_s
                                   << true;
    QTest::newRow("long name with blanks")
        << u"Wolfgang Amadeus Mozart Salzburgský Vídeňský Pražský Bertramka"_s << true;
}

// No text crosses the right edge of its label, the last column's included,
// and every character is printed: a line too wide is narrowed, starting where
// it would start; one that fits keeps its natural width.
void TestLabelPrinter::staysOnLabel() {
    QFETCH(QString, surname);
    QFETCH(bool, narrowed);
    RecordingDevice device;
    Persons persons(3, -1, surname); // the second and third labels of the first row, then the second row
    QVERIFY(drawPersons(device, persons).complete);
    const QString line = surname + u"  "_s;
    QList<Drawn> names;
    for (const Drawn& d : device.drawn()) {
        const int column = qBound(0, int(d.topLeft.x()) / labels::kLabelWidth, 2);
        const int labelRight = labels::kLabelWidth * (column + 1);
        QVERIFY2(d.right <= labelRight - labels::kRightMargin + 0.5,
                 qPrintable(QString::number(d.right) + u' ' + d.text));
        QVERIFY(d.right <= 2100);
        if (d.text == line) names.append(d);
    }
    QCOMPARE(names.size(), 3);
    QFont font = labels::LabelPrinter::labelFont();
    const double natural = QFontMetricsF(font, &device).horizontalAdvance(line);
    for (const Drawn& d : names) {
        const int left = qRound(d.topLeft.x());
        QVERIFY(left == 100 || left == 800 || left == 1500);
        const double room =
            labels::kLabelWidth * (left / labels::kLabelWidth + 1) - labels::kRightMargin - left;
        if (narrowed)
            QVERIFY2(qAbs(d.right - left - room) < 1.0, qPrintable(QString::number(d.right)));
        else
            QVERIFY2(qAbs(d.right - left - natural) < 1.0, qPrintable(QString::number(d.right)));
    }
}

// A real job: 24 records make a PDF of two pages.
void TestLabelPrinter::pdfPages() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"stitky.pdf"_s);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    Persons persons(24);
    const labels::PrintOutcome outcome =
        labels::LabelPrinter(labels::Print::Persons, io::AddressChoice::RecordDefault, kWhen)
            .print(printer, persons);
    QVERIFY(outcome.complete);
    QCOMPARE(outcome.records, 24);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    QCOMPARE(pdf.count("/Type /Page\n"), 2);
    QVERIFY(pdf.contains("/Type /Pages"));
}

void TestLabelPrinter::parametersKeys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");
    QTest::newRow("Enter prints") << int(Qt::Key_Return) << int(QDialog::Accepted);
    QTest::newRow("keypad Enter prints") << int(Qt::Key_Enter) << int(QDialog::Accepted);
    QTest::newRow("Escape closes") << int(Qt::Key_Escape) << int(QDialog::Rejected);
}

// The keys close the dialog; the choice made stays for the next time.
void TestLabelPrinter::parametersKeys() {
    QFETCH(int, key);
    QFETCH(int, result);
    PrintParametersDialog dialog;
    QCOMPARE(dialog.objectName(), u"Form12"_s);
    QCOMPARE(dialog.windowTitle(), u"Parametry tisku"_s);
    QVERIFY(dialog.windowFlags() & Qt::Tool);
    QCOMPARE(dialog.findChild<io::AddressChoiceGroup*>(u"RadioGroup2"_s)->title(), u"    Tisk adresy    "_s);
    QCOMPARE(dialog.findChild<QPushButton*>(u"BitBtn4"_s)->text(), u"&Tisk"_s);
    QCOMPARE(dialog.choice(), io::AddressChoice::RecordDefault);
    for (int round = 0; round < 2; ++round) {
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        if (round == 0) {
            auto* work = dialog.findChildren<QRadioButton*>().at(1);
            QCOMPARE(work->text(), u"firemní"_s);
            work->click();
            work->setFocus();
        }
        QTest::keyClick(dialog.focusWidget() ? dialog.focusWidget() : &dialog, Qt::Key(key));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), result);
        QCOMPARE(dialog.choice(), io::AddressChoice::Work);
    }
}

QTEST_MAIN(TestLabelPrinter)
#include "tst_labelprinter.moc"
