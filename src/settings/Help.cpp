#include "Help.h"

#include "Application.h"
#include "Maker.h"
#include "Shell.h"

#include <QFileInfo>
#include <QUrl>
#include <QWidget>

namespace {

// The help context of every window and page that has one, by objectName.
QHash<QString, int> windowContexts() {
    return {
        // The main window's pages.
        {QStringLiteral("osoby"), Help::DirectoryContext},
        {QStringLiteral("firmy"), Help::DirectoryContext},
        {QStringLiteral("vlastni"), Help::PersonalContext},
        {QStringLiteral("informace"), Help::InformationContext},
        // The windows.
        {QStringLiteral("Form2"), Help::SettingsContext},   // disc copy
        {QStringLiteral("Form3"), Help::ProductContext},    // product information
        {QStringLiteral("Form4"), Help::ContactContext},    // contact details
        {QStringLiteral("Form5"), Help::SettingsContext},   // limits
        {QStringLiteral("Form6"), Help::ShortcutsContext},  // keyboard shortcuts
        {QStringLiteral("Form7"), Help::DirectoryContext},  // export
        {QStringLiteral("Form8"), Help::PersonalContext},   // columns
        {QStringLiteral("Form9"), Help::NumberContext},     // choice of a number
        {QStringLiteral("Form10"), Help::ImportContext},    // import
        {QStringLiteral("Form11"), Help::DirectoryContext}, // personal export
        {QStringLiteral("Form12"), Help::DirectoryContext}, // print parameters
    };
}

} // namespace

Help::Help(Application& app) : m_app(app), m_contexts(windowContexts()) {}

QStringList Help::windowNames() {
    return windowContexts().keys();
}

int Help::contextFor(const QWidget* widget) const {
    for (; widget; widget = widget->parentWidget()) {
        const int context = contextOf(widget->objectName());
        if (context != 0) return context;
    }
    return 0;
}

QString Help::contentsPath() const {
    return m_app.dataFolder() + QStringLiteral("napoveda.html");
}

QString Help::contextAddress(int context) const {
    QUrl url = QUrl::fromLocalFile(contentsPath());
    url.setFragment(QStringLiteral("context-%1").arg(context));
    return url.toString(QUrl::FullyEncoded);
}

QString Help::localQuestionsPath() const {
    return m_app.programFolder() + QStringLiteral("Dotazy/index.htm");
}

bool Help::openContents() {
    return m_app.shell().open(contentsPath());
}

bool Help::openContext(int context) {
    return m_app.shell().open(contextAddress(context));
}

bool Help::openQuestions() {
    const QString local = localQuestionsPath();
    return m_app.shell().open(QFileInfo(local).isFile() ? local : maker::kQuestionsUrl);
}

bool Help::openForWidget(QWidget* focused) {
    const int context = contextFor(focused);
    return context != 0 ? openContext(context) : openContents();
}
