#include "DiscCopyDialog.h"

#include "Application.h"
#include "DiscCopy.h"
#include "ToolWindow.h"
#include "WindowPlacement.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* makeLabel(const QString& text, const QString& name, QWidget* parent, bool heading = false) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(!heading);
    if (heading) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    return label;
}

} // namespace

DiscCopyDialog::DiscCopyDialog(Application& app, QWidget* parent) : QDialog(parent), m_app(app) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Kopírování"));
    platform::makeToolWindow(this);

    auto* heading =
        makeLabel(QStringLiteral("Kopírování databáze na pevný disk:"), QStringLiteral("Label1"), this, true);
    auto* offer = makeLabel(QStringLiteral("Pokud si přejete zkopírovat databazi na pevný disk a získat tím "
                                           "rychlejší přístup k datům, klikněte zde:"),
                            QStringLiteral("Label2"), this);
    auto* noteHeading = makeLabel(QStringLiteral("Upozornění:"), QStringLiteral("Label3"), this, true);
    auto* note =
        makeLabel(QStringLiteral("Kopírovaní může trvat několik minut v závislosti na výkonu Vašeho PC. "
                                 "Kopírovaný databázový soubor zabere na cílové jednotce 437 MB."),
                  QStringLiteral("Label4"), this);

    m_copyButton = new QPushButton(QStringLiteral("&Kopie"), this);
    m_copyButton->setObjectName(QStringLiteral("button15"));
    auto* backButton = new QPushButton(QStringLiteral(" &Zpět"), this);
    backButton->setObjectName(QStringLiteral("BitBtn1"));
    connect(m_copyButton, &QPushButton::clicked, this, &DiscCopyDialog::copy);
    connect(backButton, &QPushButton::clicked, this, &QDialog::reject);

    // The texts wrap at a width of about fifty-five average characters. A
    // wrapped label in a fixed-size layout gets the height of its unwrapped
    // text, so each is given the height its lines need at that width.
    const int textWidth = fontMetrics().averageCharWidth() * 55;
    offer->setFixedWidth(textWidth);
    note->setFixedWidth(textWidth + m_copyButton->sizeHint().width());
    for (QLabel* label : {offer, note})
        label->setFixedHeight(label->heightForWidth(label->width()));

    auto* grid = new QGridLayout;
    grid->addWidget(heading, 0, 0, 1, 2);
    grid->addWidget(offer, 1, 0);
    grid->addWidget(m_copyButton, 1, 1, Qt::AlignBottom);
    grid->setRowMinimumHeight(2, fontMetrics().height() / 2);
    grid->addWidget(noteHeading, 3, 0, 1, 2);
    grid->addWidget(note, 4, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(backButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(fontMetrics().height() / 2);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    if (m_app.directoryDbOnDisk) markDone();
}

void DiscCopyDialog::markDone() {
    m_copyButton->setText(QStringLiteral(" Hotovo"));
    m_copyButton->setEnabled(false);
}

void DiscCopyDialog::showEvent(QShowEvent* event) {
    if (m_app.directoryDbOnDisk) markDone();
    settings::centreOn(this, parentWidget());
    QDialog::showEvent(event);
}

void DiscCopyDialog::copy() {
    switch (DiscCopy(m_app).run(this)) {
    case DiscCopy::Outcome::NoDisc:
        reject();
        break;
    case DiscCopy::Outcome::NotFinished:
        break;
    case DiscCopy::Outcome::NotRecorded:
        // The file is on the disk, but the program goes on with the disc.
        markDone();
        break;
    case DiscCopy::Outcome::Copied:
        markDone();
        emit databaseCopied(m_app.directoryDbPath);
        accept();
        break;
    }
}
