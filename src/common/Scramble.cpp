#include "Scramble.h"

namespace phone {

QString unscramble(const QString& stored, const QString& key) {
    if (stored.size() <= 4 || key.isEmpty()) return stored;
    QString out = stored;
    const int n = int(key.size());
    for (int i = 5; i <= out.size(); ++i) {
        const int k = key[(i % n)].unicode(); // 1-based position (i mod n) + 1
        const int mask = (k + kScrambleOffset) & 0xFF;
        out[i - 1] = QChar(char16_t(out[i - 1].unicode() ^ mask));
    }
    return out;
}

} // namespace phone
