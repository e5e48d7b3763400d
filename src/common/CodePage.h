#pragma once

#include <QByteArray>
#include <QString>

// Windows-1250, the code page of Czech text files.
namespace codepage {

// The text as Windows-1250 bytes, one byte per character. The text is first
// composed (a letter followed by a combining caron becomes the one letter the
// code page holds); every character the code page cannot hold becomes "?".
QByteArray toWindows1250(const QString& text);

// Windows-1250 bytes as text. Every byte stands for a character: the five
// bytes the code page leaves unassigned become the control characters of the
// same number, as Windows reads them.
QString fromWindows1250(const QByteArray& bytes);

} // namespace codepage
