#pragma once

#include <QByteArray>
#include <QString>

// Windows-1250, the code page of Czech text files.
namespace code_page {

// The text as Windows-1250 bytes, one byte per character. The text is first
// composed (a letter followed by a combining caron becomes the one letter the
// code page holds); every character the code page cannot hold becomes "?".
QByteArray toWindows1250(const QString& text);

// Windows-1250 bytes as text. Every byte stands for a character: the five
// bytes the code page leaves unassigned become the control characters of the
// same number, as Windows reads them.
QString fromWindows1250(const QByteArray& bytes);

// Whether toWindows1250() keeps every character of the text (after composing).
bool fitsWindows1250(const QString& text);

// The encodings text files come in.
enum class TextEncoding { Windows1250, Utf8, Utf16LE, Utf16BE };

// The encoding of a text file's bytes: the one its byte-order mark names
// (UTF-8, UTF-16 little or big endian); without a mark UTF-8 when the bytes
// are valid UTF-8 and not pure ASCII, Windows-1250 otherwise.
TextEncoding detectEncoding(QByteArrayView bytes);

// The bytes as text in that encoding; a leading byte-order mark of the
// encoding is dropped. Bytes that are not valid in it become U+FFFD.
QString decode(QByteArrayView bytes, TextEncoding encoding);

// The text of a file's bytes in the encoding detectEncoding() finds, which
// goes to *encoding when asked for.
QString decodeText(QByteArrayView bytes, TextEncoding* encoding = nullptr);

// The text in that encoding, without a byte-order mark.
QByteArray encode(const QString& text, TextEncoding encoding);

// The byte-order mark files of that encoding begin with; empty for Windows-1250.
QByteArray byteOrderMark(TextEncoding encoding);

} // namespace code_page
