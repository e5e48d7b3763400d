#include "DatabaseLogin.h"

#include "Workgroup.h"

namespace db {

namespace {
// Character codes, looked up by position; the two strings are assembled from them.
constexpr int kCodes[] = {107, 52, 114, 100, 55, 118, 111, 35, 113, 97, 119, 101, 81, 109, 50, 116, 120};
constexpr int kUser[] = {6, 2, 3, 9, 13};              // 5 characters
constexpr int kPassword[] = {12, 16, 14, 0, 7, 1, 10}; // 7 characters

template <size_t N> QString assemble(const int (&positions)[N]) {
    QString s;
    s.reserve(int(N));
    for (int p : positions)
        s.append(QChar(kCodes[p]));
    return s;
}
} // namespace

Login databaseLogin() {
    return Login{assemble(kUser), assemble(kPassword)};
}

void createLoginWorkgroup(const QString& path) {
    // Every copy of the program's workgroup file is the same workgroup, so the
    // directory secured with one (on the disc) opens with another (in DATA).
    const Login l = databaseLogin();
    Workgroup::create(path, {{l.user, l.password}}, QStringLiteral("ordana2004velto"));
}

} // namespace db
