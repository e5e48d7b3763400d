#pragma once

#include <QString>

class Application;
class QWidget;

// The file the information page reads for a list file of the data folder: the
// file itself, or, for a list in the disc's own format (a Jet file), its
// converted copy in the user's data folder. A copy made from that same file is
// used as it is; otherwise one is made now, in a short conversion window owned
// by owner. Empty when the user cancelled the conversion. Raises db::Error
// when no file can be had.
QString listFileToRead(Application& app, QWidget* owner, const QString& path);
