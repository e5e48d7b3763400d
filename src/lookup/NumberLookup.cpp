#include "NumberLookup.h"

#include "Database.h"
#include "DatabaseLogin.h"
#include "Dataset.h"
#include "DirectorySearch.h"
#include "Error.h"
#include "OwnDatabases.h"
#include "PersonalColumns.h"
#include "PersonalLabel.h"
#include "RecordLabel.h"
#include "TextHelpers.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScopeGuard>

#include <memory>

using namespace Qt::StringLiterals;

namespace number_lookup {

namespace {

// One value of a tab-separated line: tabs and line breaks would split it.
QString oneField(QString value) {
    for (QChar& c : value)
        if (c == u'\t' || c == u'\n' || c == u'\r') c = u' ';
    return value;
}

Match directoryMatch(const record_label::LabelRecord& r) {
    return {r.firm ? Kind::Firm : Kind::Person, record_label::nameLine(r),
            record_label::oneLineAddress(record_label::addressOf(r)), r.tel};
}

// One page's telephone search, with working databases of its own.
QList<Match> findIn(search_criteria::Directory kind, db::Engine& engine, db::Database& directory,
                    const db::OwnPaths& paths, const QString& digits, int limit) {
    constexpr int kPageSize = 50;
    const bool firms = kind == search_criteria::Directory::Firms;
    db::Dataset page, buffer;
    db::WorkingDatabase results(engine, firms ? db::WorkingKind::FirmsResult : db::WorkingKind::PersonsResult,
                                paths, page);
    db::WorkingDatabase phone(engine, firms ? db::WorkingKind::FirmsBuffer : db::WorkingKind::PersonsBuffer,
                              paths, buffer);
    // The working files go however the search ends.
    const auto removeFiles = qScopeGuard([&] {
        for (db::WorkingDatabase* w : {&results, &phone}) {
            try {
                w->remove();
            } catch (const db::Error&) {
            }
        }
    });

    bool stop = false;
    DirectorySearch search(kind, DirectorySearch::Services{[&directory] { return &directory; }, {}, &stop});
    search.setWorkingDatabases(&results, &phone);
    search_criteria::SearchFields fields;
    fields.telephone = digits;
    search_criteria::normalise(fields);
    QList<Match> out;
    if (fields.telephone.isEmpty()) return out;
    search.begin(kPageSize);
    search.prepareTables(true);
    if (search.validate(fields)) return out;
    search.buildStatement(fields, limit);
    for (;;) {
        const DirectorySearch::Paging paging = search.nextPage(kPageSize, limit);
        db::Dataset& rows = search.pageQuery();
        for (rows.first(); !rows.eof() && out.size() < limit; rows.next())
            if (const auto record = search.currentRecord()) out << directoryMatch(*record);
        if (!paging.nextEnabled || out.size() >= limit) break;
    }
    return out;
}

} // namespace

QString kindName(Kind kind) {
    switch (kind) {
    case Kind::Person:
        return u"osoba"_s;
    case Kind::Firm:
        return u"firma"_s;
    case Kind::Personal:
        return u"vlastní"_s;
    }
    return {};
}

QString tabLine(const Match& m) {
    return QStringList{kindName(m.kind), oneField(m.name), oneField(m.address), oneField(m.number)}.join(
        u'\t');
}

QString jsonLine(const Match& m) {
    const QJsonObject o{{u"kind"_s, kindName(m.kind)},
                        {u"name"_s, m.name},
                        {u"address"_s, m.address},
                        {u"number"_s, m.number}};
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

QList<Match> findInDirectory(const QString& directoryPath, const db::OwnPaths& paths, const QString& digits,
                             int limit) {
    db::Engine engine;
    engine.setWorkgroupFile(QFileInfo(directoryPath).absolutePath() + u"/ordat.mdw"_s);
    const db::Login login = db::databaseLogin();
    const std::unique_ptr<db::Workspace> workspace = engine.openWorkspace(login.user, login.password);
    db::OpenOptions readOnly;
    readOnly.readOnly = true;
    const std::unique_ptr<db::Database> directory = workspace->openDatabase(directoryPath, readOnly);
    return findIn(search_criteria::Directory::Persons, engine, *directory, paths, digits, limit) +
           findIn(search_criteria::Directory::Firms, engine, *directory, paths, digits, limit);
}

QList<Match> findInPersonal(db::Database& personal, const Number& number) {
    using namespace personal_columns;
    QList<Match> out;
    db::Dataset rows;
    rows.setDatabase(&personal);
    rows.setSql(u"SELECT * FROM Vlastni ORDER BY Prijmeni, Firma"_s);
    rows.open();
    for (rows.first(); !rows.eof(); rows.next()) {
        const personal_label::PersonalRecord r = personal_label::recordFromRow(rows);
        for (int i = 0; i < kPhoneCount; ++i) {
            const std::optional<Number> stored = desktop_links::readNumber(r.phones[i]);
            if (!stored || stored->digits != number.digits) continue;
            QString name = personal_label::nameLine(r);
            if (name.isEmpty())
                name = r.firmName;
            else if (!r.firmName.isEmpty())
                name += u" ("_s + r.firmName + u')';
            out << Match{Kind::Personal, name, record_label::oneLineAddress(r.current),
                         desktop_links::shownNumber(*stored)};
            break;
        }
    }
    rows.close();
    return out;
}

} // namespace number_lookup
