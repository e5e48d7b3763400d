#include "TableOutput.h"

#include "Database.h"
#include "Sqlite.h"

#include <QStringList>
#include <stdexcept>

// Rows go in through one prepared statement per table.
struct EngineOutput::Table {
    db::sqlite::Statement insert;
    qint64 rows = 0;
};

EngineOutput::EngineOutput(db::Database& database) : m_database(database) {}

EngineOutput::~EngineOutput() = default;

int EngineOutput::addTable(const QString& name, const std::vector<jet::Column>& columns) {
    QStringList definitions, parameters;
    for (const jet::Column& c : columns) {
        QString type;
        switch (c.type) {
        case jet::Type::Long:
            type = QStringLiteral("LONG");
            break;
        case jet::Type::Text:
            type = QStringLiteral("TEXT(%1)").arg(c.size);
            break;
        default:
            throw std::runtime_error(("no column type of the engine for column " + c.name).toStdString());
        }
        definitions << c.name + u' ' + type + (c.primaryKey ? QStringLiteral(" PRIMARY KEY") : QString());
        parameters << QStringLiteral("?%1").arg(parameters.size() + 1);
    }
    m_database.execute(
        QStringLiteral("CREATE TABLE %1 (%2)").arg(name, definitions.join(QStringLiteral(", "))),
        db::Database::FailOnError);
    auto t = std::make_unique<Table>();
    t->insert = db::sqlite::Statement(
        m_database.handle(),
        QStringLiteral("INSERT INTO \"%1\" VALUES (%2)").arg(name, parameters.join(u',')));
    m_tables.push_back(std::move(t));
    return int(m_tables.size()) - 1;
}

void EngineOutput::addRow(int table, const QVariantList& values) {
    Table& t = *m_tables.at(size_t(table));
    t.insert.reset();
    for (int i = 0; i < values.size(); ++i)
        t.insert.bind(i + 1, values[i]);
    t.insert.step();
    ++t.rows;
}

qint64 EngineOutput::rowCount(int table) const {
    return m_tables.at(size_t(table))->rows;
}
