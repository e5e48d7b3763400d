#pragma once

#include "SqlAst.h"

#include <QString>

namespace db {

// Deepest nesting of parentheses, NOT, signs, function calls, IN lists and
// bracketed joins within one select that parseStatement accepts, and deepest
// nesting of subqueries; a deeper statement raises db::Error saying it is too
// complex.
inline constexpr int kMaxSqlNesting = 16;
inline constexpr int kMaxSubqueryNesting = 25;

// Parses one statement of the Jet SQL dialect. Text after a terminating ";"
// is refused: one call runs one statement. Throws db::Error naming what was
// not understood.
ast::Statement parseStatement(const QString& sql);

} // namespace db
