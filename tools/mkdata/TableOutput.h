#pragma once

#include "JetWriter.h"

#include <QString>
#include <QVariantList>
#include <memory>
#include <vector>

namespace db {
class Database;
}

// Where the generator's tables go: a database of our engine or a Jet 3 file.
// Tables are declared with their columns and then take rows, several tables
// at a time if need be.
class TableOutput {
  public:
    virtual ~TableOutput() = default;
    virtual int addTable(const QString& name, const std::vector<jet::Column>& columns) = 0;
    virtual void addRow(int table, const QVariantList& values) = 0;
    virtual qint64 rowCount(int table) const = 0;
};

// Into a database of our engine, inside whatever transaction the caller holds.
class EngineOutput : public TableOutput {
  public:
    explicit EngineOutput(db::Database& database);
    ~EngineOutput() override;
    int addTable(const QString& name, const std::vector<jet::Column>& columns) override;
    void addRow(int table, const QVariantList& values) override;
    qint64 rowCount(int table) const override;

  private:
    struct Table;
    db::Database& m_database;
    std::vector<std::unique_ptr<Table>> m_tables;
};

// Into a Jet 3 file; the caller finishes the writer.
class JetOutput : public TableOutput {
  public:
    explicit JetOutput(jet::Writer& writer) : m_writer(writer) {}
    int addTable(const QString& name, const std::vector<jet::Column>& columns) override {
        return m_writer.addTable(name, columns);
    }
    void addRow(int table, const QVariantList& values) override { m_writer.addRow(table, values); }
    qint64 rowCount(int table) const override { return m_writer.rowCount(table); }

  private:
    jet::Writer& m_writer;
};
