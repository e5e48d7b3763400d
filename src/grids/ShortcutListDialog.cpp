#include "ShortcutListDialog.h"

#include "PageWidgets.h"
#include "ShortcutTable.h"
#include "ToolWindow.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

ShortcutListDialog::ShortcutListDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Seznam klávesových zkratek"));
    platform::makeToolWindow(this);

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("Memo1"));
    m_text->setReadOnly(true);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_text->setMinimumSize(200, 100);
    QPalette palette = m_text->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    m_text->setPalette(palette);
    m_text->setPlainText(shortcuts::listLines().join(u'\n'));

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

    resize(kInnerSize + QSize(2 * kBorder, 2 * kBorder));
}
