#pragma once

// What a user does in the import window to bring in a file's first column as
// surnames: load the file, look at it, map the column, import, close.

#include "ImportDialog.h"

#include <QComboBox>
#include <QPushButton>

namespace app_test {

inline void importFirstColumnAsSurname(ImportDialog* d) {
    d->button(ImportDialog::Button::Source)->click();
    d->button(ImportDialog::Button::Preview)->click();
    d->sourceList()->setCurrentIndex(0);
    d->targetList()->setCurrentIndex(2);
    d->button(ImportDialog::Button::Add)->click();
    d->button(ImportDialog::Button::Import)->click();
    d->button(ImportDialog::Button::Back)->click();
}

} // namespace app_test
