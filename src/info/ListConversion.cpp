#include "ListConversion.h"

#include "Application.h"
#include "ConversionWindow.h"
#include "ConvertedCopy.h"
#include "Database.h"
#include "Error.h"
#include "JetConversion.h"
#include "JetFile.h"

#include <QFileInfo>

QString listFileToRead(Application& app, QWidget* owner, const QString& path) {
    if (!db::jet::isJetFile(path)) return path;
    const QString folder = converted_copy::folder(app);
    const QString fileName = QFileInfo(path).fileName();
    const QString copy = folder + fileName;
    if (!folder.isEmpty() && converted_copy::isCopyOf(copy, path)) return copy;

    converted_copy::readyFolder(app);
    ConversionWindow window(owner, QStringLiteral("Příprava seznamu"),
                            QStringLiteral("Připravuji seznam „%1“ k použití.").arg(fileName));
    // The lists are not secured: any workspace opens their copies.
    const auto outcome = window.run([&](const db::ConversionProgress& progress) {
        return converted_copy::convertReplacing(app.engine().defaultWorkspace(), path, copy,
                                                db::ConversionKind::Plain, progress);
    });
    switch (outcome) {
    case ConversionWindow::Outcome::Converted:
        return copy;
    case ConversionWindow::Outcome::Cancelled:
        return {};
    case ConversionWindow::Outcome::Failed:
        break;
    }
    throw db::Error(window.failureReason());
}
