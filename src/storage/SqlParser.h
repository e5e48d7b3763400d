#pragma once

#include "SqlAst.h"

#include <QString>

namespace db {

// Parses one statement of the Jet SQL dialect. Text after a terminating ";"
// is refused: one call runs one statement. Throws db::Error naming what was
// not understood.
ast::Statement parseStatement(const QString& sql);

} // namespace db
