#pragma once

#include "Dataset.h"
#include "ReferenceLists.h"

#include <functional>
#include <memory>

namespace db {
class Database;
}

// The reference list the information page shows: a read-only connection to
// the list's file and the query over it, opened in the list's own order or
// re-sorted by one of its columns. Errors of the engine are raised as
// db::Error, except when locating, which never reports one.
class ReferenceListQuery {
  public:
    // Opens a list file read-only; raises db::Error when it cannot.
    using Opener = std::function<std::unique_ptr<db::Database>(const QString& path)>;

    // The list files lie in dataFolder (ending in "/").
    ReferenceListQuery(Opener opener, QString dataFolder);
    ~ReferenceListQuery();
    ReferenceListQuery(const ReferenceListQuery&) = delete;
    ReferenceListQuery& operator=(const ReferenceListQuery&) = delete;

    // The file to read for a list file of the data folder: the file itself,
    // or a copy made from it; empty when there is none to read (the user gave
    // up making one). Raises db::Error when none can be had. Without a
    // locator the list file itself is read.
    using Locator = std::function<QString(const QString& path)>;
    void setLocator(Locator locator) { m_locator = std::move(locator); }

    // Closes whatever is open, then opens the list's file (or the file the
    // locator gives for it) and its statement. False, with nothing open, when
    // the locator gave no file. After a failure nothing is open and the error
    // is raised.
    bool open(reference_lists::List list);
    // Closes the query and the connection.
    void close();
    bool isOpen() const { return m_query.isOpen(); }
    // The list last asked for, open or not.
    reference_lists::List list() const { return m_list; }
    const reference_lists::Description& description() const { return reference_lists::describe(m_list); }
    // The list's file in the data folder.
    QString path() const;
    // The file the open list reads; empty when none is open.
    const QString& openedPath() const { return m_openedPath; }

    // Reopens the list ordered by the column's field; a column of None order
    // goes back to the list's own statement.
    enum class Order { Own, Ascending, Descending };
    void sort(int column, Order order);

    // Rows of the open list; 0 when none is open.
    int rowCount();
    // Moves to the first row, in the present order, whose value in the column
    // begins with the text (letter case ignored, Czech letters kept apart).
    // False, and nothing moves, when none does, when no list is open, when
    // the column does not exist, or when the text is empty: an emptied search
    // text, or entering the page again, leaves the row where it was.
    bool locate(int column, const QString& text);
    // The current row's value of a field; empty when there is no current row.
    QString currentValue(const QString& field) const;
    bool hasCurrentRow() const { return m_query.isOpen() && m_query.recNo() >= 0; }

    db::Dataset& dataset() { return m_query; }

  private:
    void reopen(const QString& statement);

    Opener m_opener;
    Locator m_locator;
    QString m_dataFolder;
    QString m_openedPath;
    reference_lists::List m_list = reference_lists::List::InternetAddresses;
    std::unique_ptr<db::Database> m_database; // DAODatabase3
    db::Dataset m_query;                      // Query3
};
