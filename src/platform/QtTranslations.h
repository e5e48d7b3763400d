#pragma once

class QCoreApplication;

namespace platform {

// Gives Qt's own texts (the buttons and labels of the file, print and message
// dialogs) in Czech, like the rest of the program, whatever the user's locale.
// The translations come from the system's Qt translations; returns false when
// they are not installed, and the dialogs then keep Qt's English.
bool installCzechQtTexts(QCoreApplication& app);

// The program's locale: Czech, whatever the user's is, so that Qt's own
// dialogs write dates, times and numbers as the rest of the program does.
void useCzechLocale();

} // namespace platform
