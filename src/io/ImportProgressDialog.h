#pragma once

#include "ContactImport.h"

#include <QProgressDialog>

namespace platform {
class Dialogs;
}

// The progress of an import: a bar with the count of records stored and a
// Cancel button. It is shown at once and is modal to its owner's windows, so
// they take no input while the records are posted, and it lets pending events
// through after every record, so that it repaints and Cancel is heard. The
// records stored before Cancel stay.
class ImportProgressDialog : public QProgressDialog {
    Q_OBJECT

  public:
    // total: the number of records to post; 0 when not known yet.
    ImportProgressDialog(QWidget* owner, int total);

    // What postRecords() is told after every record.
    io::ImportProgress progress();

    static QString countText(int posted, int total);
};

// Shows the messages of an import's outcome, one box after the other:
// warnings under "Upozornění", the others under "Informace".
void showNotices(platform::Dialogs& dialogs, QWidget* owner, const QList<io::Notice>& notices);
