#include "ProductInfoDialog.h"

#include "Application.h"
#include "ClickableLabel.h"
#include "Maker.h"
#include "Shell.h"
#include "ToolWindow.h"
#include "WindowPlacement.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QFont boldOf(QFont font) {
    font.setBold(true);
    return font;
}

// The people who made the product, with their roles.
const QList<QPair<QString, QString>>& credits() {
    static const QList<QPair<QString, QString>> people{
        {QStringLiteral("vedení projektu"), QStringLiteral("Ing. Jan Vzorový")},
        {QStringLiteral("programování"), QStringLiteral("Petr Zkušební, Mgr. Karel Náhradník")},
        {QStringLiteral("databáze a data"), QStringLiteral("Ing. Marie Příkladná")},
        {QStringLiteral("grafická úprava"), QStringLiteral("Eva Ukázková")},
        {QStringLiteral("nápověda a testování"), QStringLiteral("Tomáš Pokusný")},
    };
    return people;
}

} // namespace

ProductInfoDialog::ProductInfoDialog(Application& app, QWidget* parent) : QDialog(parent), m_app(app) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("O produktu"));
    platform::makeToolWindow(this);

    m_heading = new QLabel(this);
    m_heading->setObjectName(QStringLiteral("Label1"));
    QFont headingFont = boldOf(font());
    // The program font is set in pixels; scale whichever unit the font uses.
    if (headingFont.pixelSize() > 0)
        headingFont.setPixelSize(headingFont.pixelSize() * 3 / 2);
    else
        headingFont.setPointSizeF(headingFont.pointSizeF() * 1.5);
    m_heading->setFont(headingFont);
    m_heading->setAlignment(Qt::AlignCenter);

    auto* company = new QLabel(maker::kCompany, this);
    company->setObjectName(QStringLiteral("Label2"));
    company->setFont(boldOf(font()));
    auto* address = new QLabel(maker::kStreet + u'\n' + maker::kTown, this);
    address->setObjectName(QStringLiteral("Label3"));
    auto* numbers = new QLabel(
        QStringLiteral("tel.: %1\nfax: %2\nhot-line: %3").arg(maker::kPhone, maker::kFax, maker::kHotLine),
        this);
    numbers->setObjectName(QStringLiteral("Label4"));

    auto* contact = new QGridLayout;
    contact->addWidget(company, 0, 0, 1, 2);
    contact->addWidget(address, 1, 0, Qt::AlignTop);
    contact->addWidget(numbers, 1, 1, Qt::AlignTop);
    contact->setColumnStretch(1, 1);
    contact->setHorizontalSpacing(fontMetrics().averageCharWidth() * 6);

    QString web = maker::kProductUrl;
    web.remove(QStringLiteral("https://"));
    QString questions = maker::kQuestionsUrl;
    questions.remove(QStringLiteral("https://"));
    auto* links = new QGridLayout;
    const QPair<QString, QLabel*> rows[] = {
        {QStringLiteral("Informace:"), addLink(QStringLiteral("LinkInfo"), web, maker::kProductUrl)},
        {QStringLiteral("Objednávky a připomínky:"), addLink(QStringLiteral("LinkMail"), maker::kOrdersMail,
                                                             QStringLiteral("mailto:") + maker::kOrdersMail)},
        {QStringLiteral("Otázky a odpovědi:"),
         addLink(QStringLiteral("LinkQuestions"), questions, maker::kQuestionsUrl)},
    };
    int row = 0;
    for (const auto& [caption, link] : rows) {
        links->addWidget(new QLabel(caption, this), row, 0);
        links->addWidget(link, row, 1);
        ++row;
    }
    links->setColumnStretch(1, 1);

    auto* creditsHeading = new QLabel(QStringLiteral("Na projektu se podíleli:"), this);
    creditsHeading->setFont(boldOf(font()));
    auto* people = new QGridLayout;
    people->setVerticalSpacing(0);
    row = 0;
    for (const auto& [role, names] : credits()) {
        people->addWidget(new QLabel(role + u':', this), row, 0);
        people->addWidget(new QLabel(names, this), row, 1);
        ++row;
    }
    people->setColumnStretch(1, 1);
    people->setContentsMargins(fontMetrics().averageCharWidth() * 2, 0, 0, 0);

    auto* back = new QPushButton(QStringLiteral("&Zpět"), this);
    back->setObjectName(QStringLiteral("BitBtn1"));
    back->setDefault(true);
    connect(back, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(back);

    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::HLine);
    frame->setFrameShadow(QFrame::Sunken);

    const int gap = fontMetrics().height() / 2;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_heading);
    layout->addWidget(frame);
    layout->addLayout(contact);
    layout->addSpacing(gap);
    layout->addLayout(links);
    layout->addSpacing(gap);
    layout->addWidget(creditsHeading);
    layout->addLayout(people);
    layout->addSpacing(gap);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QLabel* ProductInfoDialog::addLink(const QString& name, const QString& text, const QString& address) {
    auto* link = new ClickableLabel(this);
    link->setText(text);
    link->setObjectName(name);
    // Reached with Tab and opened with Enter as well; spoken as a link named by its text.
    link->makeControl(ClickableLabel::Role::Link, {});
    link->setToolTip(address);
    link->setCursor(Qt::PointingHandCursor);
    QFont underlined = link->font();
    underlined.setUnderline(true);
    link->setFont(underlined);
    QPalette palette = link->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Link));
    link->setPalette(palette);
    // The shell reports its own errors.
    connect(link, &ClickableLabel::clicked, this, [this, address] { m_app.shell().open(address); });
    return link;
}

void ProductInfoDialog::showEvent(QShowEvent* event) {
    m_heading->setText(QStringLiteral("ORDANA 2004 Velto"));
    settings::centreOn(this, parentWidget());
    QDialog::showEvent(event);
}
