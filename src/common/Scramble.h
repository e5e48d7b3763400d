#pragma once

#include <QString>

// Telephone numbers are stored with their first four digits plain and the rest
// scrambled with the record number as key. The same operation scrambles a
// plain number and unscrambles a stored one.
namespace phone {

// Added to each key character before its low eight bits mask a number
// character. With digits in the key this turns stored digits into the
// letters "@" to "O".
inline constexpr int kScrambleOffset = 64;

// Characters one to four stay; from the fifth on each character is XORed with
// the low eight bits of (key character + kScrambleOffset), the key character
// taken at 1-based position (i mod length of key) + 1. A text of four
// characters or fewer, or an empty key, is returned unchanged.
QString unscramble(const QString& stored, const QString& key);

} // namespace phone
