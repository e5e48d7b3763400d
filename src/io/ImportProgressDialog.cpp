#include "ImportProgressDialog.h"

#include "Dialogs.h"

#include <QCoreApplication>

ImportProgressDialog::ImportProgressDialog(QWidget* owner, int total) : QProgressDialog(owner) {
    setObjectName(QStringLiteral("importProgress"));
    setWindowTitle(QStringLiteral("Import dat"));
    setWindowModality(Qt::WindowModal);
    setCancelButtonText(QStringLiteral("&Storno"));
    setMinimumDuration(0);
    setAutoClose(false);
    setAutoReset(false);
    // Without a count yet (the file is still being read) the bar only shows that work goes on.
    setRange(0, std::max(total, 0));
    setLabelText(total > 0 ? countText(0, total) : QStringLiteral("Importuji záznamy…"));
    setValue(0);
    show();
    QCoreApplication::processEvents();
}

io::ImportProgress ImportProgressDialog::progress() {
    return [this](int posted, int total) {
        // The count first: setValue() of a shown modal dialog lets the pending events through.
        setLabelText(countText(posted, total));
        if (maximum() != total) setMaximum(total);
        setValue(posted);
        return !wasCanceled();
    };
}

QString ImportProgressDialog::countText(int posted, int total) {
    return QStringLiteral("Importováno %1 z %2 záznamů").arg(QString::number(posted), QString::number(total));
}

void showNotices(platform::Dialogs& dialogs, QWidget* owner, const QList<io::Notice>& notices) {
    for (const io::Notice& notice : notices) {
        if (notice.kind == io::Notice::Kind::Warning)
            dialogs.warn(owner, notice.text);
        else
            dialogs.inform(owner, notice.text);
    }
}
