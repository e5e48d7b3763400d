#include "ImportSchemas.h"

#include "SettingsStore.h"

using namespace Qt::StringLiterals;

namespace io {

namespace {

using platform::Access;
using platform::Root;

int position(const QString& text) {
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok ? n : -1;
}

} // namespace

QString ImportSchemas::keyOf(const QString& name) {
    return platform::kImportSchemaKey + u'\\' + name;
}

bool ImportSchemas::isValidName(const QString& name) {
    return !name.trimmed().isEmpty() && !name.contains(u'\\');
}

QStringList ImportSchemas::names() const {
    const auto key = m_store.open(Root::CurrentUser, platform::kImportSchemaKey, Access::Read);
    return key ? key->valueNames() : QStringList();
}

bool ImportSchemas::exists(const QString& name) const {
    const auto key = m_store.open(Root::CurrentUser, platform::kImportSchemaKey, Access::Read);
    return key && key->readString(name).has_value();
}

bool ImportSchemas::save(const QString& name, const QList<Assignment>& rows) {
    const auto list =
        m_store.open(Root::CurrentUser, platform::kImportSchemaKey, Access::All, /*create*/ true);
    if (!list || !list->writeString(name, QString())) return false;
    const auto schema = m_store.open(Root::CurrentUser, keyOf(name), Access::All, /*create*/ true);
    if (!schema) return false;
    for (const QString& old : schema->valueNames())
        schema->deleteValue(old);
    for (const Assignment& row : rows)
        if (!schema->writeString(QString::number(row.column), QString::number(row.target))) return false;
    return true;
}

std::optional<QList<Assignment>> ImportSchemas::load(const QString& name) const {
    const auto schema = m_store.open(Root::CurrentUser, keyOf(name), Access::Read);
    if (!schema) return std::nullopt;
    QList<Assignment> out;
    for (const QString& value : schema->valueNames())
        out.append({position(value), position(schema->readString(value).value_or(QString()))});
    return out;
}

bool ImportSchemas::remove(const QString& name) {
    const bool keyGone = m_store.deleteKey(Root::CurrentUser, keyOf(name));
    const auto list = m_store.open(Root::CurrentUser, platform::kImportSchemaKey, Access::All);
    const bool nameGone = list && list->deleteValue(name);
    return keyGone || nameGone;
}

QString schemaNameCaption() {
    return u"Název schéma"_s;
}

QString schemaNamePrompt() {
    return u"Zadejte název schéma, které chcete uložit.    "_s;
}

QString schemaExistsQuestion() {
    return u"Schéma s tímto názven již existuje, přejete si jej přepsat?    "_s;
}

QString schemaDeleteQuestion(const QString& name) {
    return u"Přejete si smazat schéma \""_s + name + u"\"?    "_s;
}

QString emptyMappingMessage() {
    return u"Nejprve přidejte názvy polí, která chcete importovat.    "_s;
}

QString invalidSchemaNameMessage() {
    return u"Název schématu nesmí být prázdný a nesmí obsahovat znak \\.    "_s;
}

QString schemaNotSavedMessage() {
    return u"Schéma nelze uložit, nastavení programu nelze zapsat.    "_s;
}

QString schemaNotLoadedMessage(const QString& name, int columns) {
    return u"Schéma \""_s + name + u"\" nelze načíst: odkazuje na sloupce, které ukázka nemá (ukázka má "_s +
           QString::number(columns) +
           u" sloupců). Nejprve načtěte ukázku souboru, pro který je schéma určeno.    "_s;
}

} // namespace io
