#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace platform {

bool installCzechQtTexts(QCoreApplication& app) {
    // Owned by the application, so it lives as long as the texts are shown.
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_cs"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

void useCzechLocale() {
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic));
}

} // namespace platform
