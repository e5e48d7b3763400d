#include "ShortcutListDialog.h"

#include "PageWidgets.h"
#include "ShortcutTable.h"
#include "ToolWindow.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// The least room after a heading or a key, in average character widths.
constexpr qreal kColumnGap = 2;

} // namespace

ShortcutListDialog::ShortcutListDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Seznam klávesových zkratek"));
    platform::makeToolWindow(this);

    m_text = new QTextEdit(this);
    m_text->setObjectName(QStringLiteral("Memo1"));
    m_text->setAccessibleName(windowTitle());
    m_text->setReadOnly(true);
    m_text->setAcceptRichText(false);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_text->setMinimumSize(200, 100);
    QPalette palette = m_text->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    m_text->setPalette(palette);
    m_text->setPlainText(shortcuts::listLines().join(u'\n'));
    layOutColumns();

    m_back = makeButton(QStringLiteral("Button1"), QStringLiteral("&Zpět"), true, this);
    connect(m_back, &QPushButton::clicked, this, &QDialog::reject);

    // The strip below the text is as high as the designed gap under it, so the
    // text has its designed height at the designed size.
    auto* strip = new QWidget(this);
    strip->setFixedHeight(kInnerSize.height() - kTextSize.height());
    auto* stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(0, 0, 0, 0);
    stripLayout->addStretch();
    stripLayout->addWidget(m_back, 0, Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kBorder, kBorder, kBorder, kBorder);
    layout->setSpacing(0);
    layout->addWidget(m_text, 1);
    layout->addWidget(strip);

    // The designed width holds each line of the list in the designed font; a
    // font of wider letters widens the window rather than break the lines.
    const int textWidth = std::max(kTextSize.width(), m_widestLine + textChrome());
    resize(QSize(textWidth, kInnerSize.height()) + QSize(2 * kBorder, 2 * kBorder));
}

int ShortcutListDialog::textChrome() const {
    return 2 * m_text->frameWidth() + m_text->verticalScrollBar()->sizeHint().width() +
           int(std::ceil(2 * m_text->document()->documentMargin()));
}

void ShortcutListDialog::layOutColumns() {
    const QFontMetricsF metrics(m_text->font());
    const shortcuts::ListColumns columns = shortcuts::listColumns(
        shortcuts::listLines(), [&metrics](const QString& text) { return metrics.horizontalAdvance(text); },
        kColumnGap * metrics.averageCharWidth());
    QList<QTextOption::Tab> tabs;
    for (qreal stop : columns.tabStops)
        tabs << QTextOption::Tab(stop, QTextOption::LeftTab);

    // An entry's lines after its first start under its description.
    QTextDocument* document = m_text->document();
    QTextCursor cursor(document);
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (!block.text().contains(u'\t')) continue;
        QTextBlockFormat format = block.blockFormat();
        format.setTabPositions(tabs);
        format.setLeftMargin(columns.description);
        format.setTextIndent(-columns.description);
        cursor.setPosition(block.position());
        cursor.setBlockFormat(format);
    }

    // The widest line as laid out: a description from its column, any other line whole.
    qreal widest = 0;
    for (const QString& line : shortcuts::listLines()) {
        const qsizetype tab = line.lastIndexOf(u'\t');
        widest =
            std::max(widest, tab < 0 ? metrics.horizontalAdvance(line)
                                     : columns.description + metrics.horizontalAdvance(line.mid(tab + 1)));
    }
    m_widestLine = int(std::ceil(widest)) + 1;
}

void ShortcutListDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange) layOutColumns();
}
