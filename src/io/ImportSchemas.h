#pragma once

#include "ImportMapping.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace platform {
class SettingsStore;
}

namespace io {

// Saved import mappings in the settings store (current-user root). The list
// key holds one empty string value per schema, named by the schema; the
// schema's own key below it holds one value per mapping row, named by the
// decimal position of the source column with the decimal position of the
// target field as its data. A schema thus maps columns by position: loaded
// for another file, it takes that file's columns at the same places.
class ImportSchemas {
  public:
    explicit ImportSchemas(platform::SettingsStore& store) : m_store(store) {}

    // The key of one schema.
    static QString keyOf(const QString& name);
    // A name the store can keep as one key: not empty, without a backslash
    // (which would make it a path of keys).
    static bool isValidName(const QString& name);

    // The schemas' names in the order they were saved; empty when there are none.
    QStringList names() const;
    bool exists(const QString& name) const;
    // Lists the name and replaces the schema's rows by the assignments. False
    // when the store refuses to be written.
    bool save(const QString& name, const QList<Assignment>& rows);
    // The rows in the order the store lists them; a position that is not a
    // number reads as -1. Empty when the schema's key does not exist.
    std::optional<QList<Assignment>> load(const QString& name) const;
    // Deletes the schema's key and its name from the list.
    bool remove(const QString& name);

  private:
    platform::SettingsStore& m_store;
};

// The texts of the schema operations.
QString schemaNameCaption();
QString schemaNamePrompt();
QString schemaExistsQuestion();
QString schemaDeleteQuestion(const QString& name);
QString emptyMappingMessage();
QString invalidSchemaNameMessage();
QString schemaNotSavedMessage();
QString schemaNotLoadedMessage(const QString& name, int columns);

} // namespace io
