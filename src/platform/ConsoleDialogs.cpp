#include "ScriptedDialogs.h"

namespace platform {

Dialogs::Answer ConsoleDialogs::message(QWidget*, const QString&, const QString& text, Icon,
                                        Buttons buttons) {
    if (buttons == Buttons::YesNo) {
        ++m_questions;
        return Answer::No;
    }
    if (m_write) m_write(QtDialogs::shownText(text).trimmed());
    switch (buttons) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::OkCancel:
    case Buttons::YesNo:
        break;
    }
    return Answer::Cancel;
}

} // namespace platform
