#include "SettingsStore.h"

#include <QFileInfo>
#include <QSettings>

#include <algorithm>
#include <array>
#include <variant>
#include <vector>

namespace platform {

namespace {

// Key and value names compare without regard to case, as the registry's do;
// the case they were first written in is kept.
bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QStringList pathSegments(const QString& path) {
    return path.split(u'\\', Qt::SkipEmptyParts);
}

void sortNames(QStringList& names) {
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
}

int rootIndex(Root root) {
    return root == Root::CurrentUser ? 0 : 1;
}

// ---------------------------------------------------------------------------
// In memory

using Value = std::variant<QString, int>;

struct Node {
    QString name;
    QList<std::pair<QString, Value>> values; // in the order written
    std::vector<std::shared_ptr<Node>> children;
    bool deleted = false; // set when the key is deleted while still open
};

struct MemoryTree {
    std::array<std::shared_ptr<Node>, 2> roots{std::make_shared<Node>(), std::make_shared<Node>()};
    std::array<bool, 2> readOnly{false, false};
};

std::shared_ptr<Node> findChild(const Node& node, const QString& name) {
    for (const auto& child : node.children)
        if (sameName(child->name, name)) return child;
    return nullptr;
}

qsizetype findValue(const Node& node, const QString& name) {
    for (qsizetype i = 0; i < node.values.size(); ++i)
        if (sameName(node.values[i].first, name)) return i;
    return -1;
}

void markDeleted(Node& node) {
    node.deleted = true;
    for (const auto& child : node.children)
        markDeleted(*child);
}

class MemoryKey : public SettingsKey {
  public:
    MemoryKey(std::shared_ptr<MemoryTree> tree, std::shared_ptr<Node> node, Root root, bool writable)
        : m_tree(std::move(tree)), m_node(std::move(node)), m_root(rootIndex(root)), m_writable(writable) {}

    std::optional<QString> readString(const QString& name) const override {
        const auto i = findValue(*m_node, name);
        if (i < 0 || m_node->deleted) return std::nullopt;
        if (const auto* s = std::get_if<QString>(&m_node->values[i].second)) return *s;
        return std::nullopt;
    }
    std::optional<int> readInt(const QString& name) const override {
        const auto i = findValue(*m_node, name);
        if (i < 0 || m_node->deleted) return std::nullopt;
        if (const auto* v = std::get_if<int>(&m_node->values[i].second)) return *v;
        return std::nullopt;
    }
    bool writeString(const QString& name, const QString& value) override { return write(name, value); }
    bool writeInt(const QString& name, int value) override { return write(name, value); }
    bool deleteValue(const QString& name) override {
        if (!canWrite()) return false;
        const auto i = findValue(*m_node, name);
        if (i < 0) return false;
        m_node->values.removeAt(i);
        return true;
    }
    QStringList valueNames() const override {
        QStringList names;
        if (m_node->deleted) return names;
        for (const auto& v : m_node->values)
            names << v.first;
        return names;
    }
    QStringList subkeyNames() const override {
        QStringList names;
        if (m_node->deleted) return names;
        for (const auto& child : m_node->children)
            names << child->name;
        sortNames(names);
        return names;
    }

  private:
    bool canWrite() const { return m_writable && !m_tree->readOnly[m_root] && !m_node->deleted; }
    bool write(const QString& name, Value value) {
        if (!canWrite()) return false;
        const auto i = findValue(*m_node, name);
        if (i < 0)
            m_node->values.append({name, std::move(value)});
        else
            m_node->values[i].second = std::move(value); // a rewritten value keeps its place
        return true;
    }

    std::shared_ptr<MemoryTree> m_tree;
    std::shared_ptr<Node> m_node;
    int m_root;
    bool m_writable;
};

// ---------------------------------------------------------------------------
// INI files through QSettings
//
// Every key is a QSettings group. Names are stored with '%', '/' and '\' escaped
// as %XX, so that neither QSettings' separators nor our own escapes can be
// mistaken; QSettings escapes everything else itself. Each key carries an
// "%order" entry listing its values in the order written with their types
// ("s:" string, "i:" integer), because an INI file keeps neither. The entry
// also makes an empty key exist. A value found in the file but not in the list
// (written by hand) is untyped: it reads as a string and, when it is a number,
// as an integer.

const QString kOrderKey = QStringLiteral("%order");
const QString kUnnamedValue = QStringLiteral("%default"); // the registry's unnamed value

QString encodeName(const QString& name) {
    if (name.isEmpty()) return kUnnamedValue;
    QString out;
    out.reserve(name.size());
    for (const QChar c : name) {
        if (c == u'%')
            out += QLatin1String("%25");
        else if (c == u'/')
            out += QLatin1String("%2F");
        else if (c == u'\\')
            out += QLatin1String("%5C");
        else
            out += c;
    }
    return out;
}

QString decodeName(const QString& encoded) {
    if (encoded == kUnnamedValue) return {};
    QString out;
    out.reserve(encoded.size());
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == u'%' && i + 2 < encoded.size()) {
            bool ok = false;
            const int code = QStringView(encoded).mid(i + 1, 2).toInt(&ok, 16);
            if (ok) {
                out += QChar(code);
                i += 2;
                continue;
            }
        }
        out += encoded[i];
    }
    return out;
}

QString joinKey(const QString& group, const QString& name) {
    return group.isEmpty() ? name : group + u'/' + name;
}

// Whether QSettings can write the file: QSettings writes a lock file beside it
// and creates missing folders, so the folder (or the nearest existing one above
// it) must be writable as well as the file itself.
bool canWriteFile(const QString& fileName) {
    const QFileInfo file(fileName);
    if (file.exists() && (!file.isFile() || !file.isWritable())) return false;
    QString folder = file.absolutePath();
    while (!QFileInfo::exists(folder)) {
        const QString parent = QFileInfo(folder).path();
        if (parent == folder) return false;
        folder = parent;
    }
    const QFileInfo dir(folder);
    return dir.isDir() && dir.isWritable();
}

struct IniRoot {
    explicit IniRoot(const QString& fileName) { load(fileName); }
    bool writable() const { return canWriteFile(settings->fileName()); }

    // The values under a group as they are before a change, to be put back
    // when the change does not reach the file.
    struct Snapshot {
        QString group;
        QList<std::pair<QString, QVariant>> values;
    };
    Snapshot snapshot(const QString& group) {
        // QSettings keeps the first error it met: after a failed write the
        // next change starts on a new object.
        if (m_failed) load(settings->fileName());
        m_failed = false;
        Snapshot shot{group, {}};
        if (!group.isEmpty()) settings->beginGroup(group);
        for (const QString& key : settings->allKeys())
            shot.values.append({key, settings->value(key)});
        if (!group.isEmpty()) settings->endGroup();
        return shot;
    }

    // Writes the pending changes to the file; false when they did not reach
    // it (an unwritable file or folder, a full disk). The group is then put
    // back as it was, so that what is read is what the file holds. (QSettings
    // keeps unwritten changes for every object on the same file, so a fresh
    // QSettings alone would not drop them.)
    bool commit(const Snapshot& before) {
        settings->sync();
        if (settings->status() != QSettings::AccessError) return true;
        if (!before.group.isEmpty()) settings->beginGroup(before.group);
        settings->remove(QString());
        for (const auto& [key, value] : before.values)
            settings->setValue(key, value);
        if (!before.group.isEmpty()) settings->endGroup();
        m_failed = true;
        return false;
    }

    QStringList childGroups(const QString& group) {
        if (group.isEmpty()) return settings->childGroups();
        settings->beginGroup(group);
        const QStringList groups = settings->childGroups();
        settings->endGroup();
        return groups;
    }
    QStringList childKeys(const QString& group) {
        if (group.isEmpty()) return settings->childKeys();
        settings->beginGroup(group);
        const QStringList keys = settings->childKeys();
        settings->endGroup();
        return keys;
    }
    bool exists(const QString& group) {
        return group.isEmpty() || !childKeys(group).isEmpty() || !childGroups(group).isEmpty();
    }

    // The group of a key path; creates missing keys (with their order entry,
    // so that they stay when their subkeys go) when create is set.
    std::optional<QString> resolve(const QStringList& segments, bool create) {
        QString group;
        for (const QString& segment : segments) {
            const QStringList children = childGroups(group);
            QString match;
            for (const QString& child : children)
                if (decodeName(child) == segment) match = child;
            if (match.isEmpty())
                for (const QString& child : children)
                    if (match.isEmpty() && sameName(decodeName(child), segment)) match = child;
            if (match.isEmpty()) {
                if (!create) return std::nullopt;
                match = encodeName(segment);
                group = joinKey(group, match);
                settings->setValue(joinKey(group, kOrderKey), QString());
                continue;
            }
            group = joinKey(group, match);
        }
        return group;
    }

    std::optional<QSettings> settings;

  private:
    bool m_failed = false; // the last commit did not reach the file
    void load(const QString& fileName) {
        settings.reset();
        settings.emplace(fileName, QSettings::IniFormat);
        settings->setFallbacksEnabled(false);
    }
};

class IniKey : public SettingsKey {
  public:
    IniKey(std::shared_ptr<IniRoot> root, QString group, bool writable)
        : m_root(std::move(root)), m_group(std::move(group)), m_writable(writable) {}

    std::optional<QString> readString(const QString& name) const override {
        const auto entry = find(name);
        if (!entry || entry->type == 'i') return std::nullopt;
        return text(*entry);
    }
    std::optional<int> readInt(const QString& name) const override {
        const auto entry = find(name);
        if (!entry || entry->type == 's') return std::nullopt;
        bool ok = false;
        const int value = text(*entry).trimmed().toInt(&ok);
        return ok ? std::optional<int>(value) : std::nullopt;
    }
    bool writeString(const QString& name, const QString& value) override { return write(name, value, 's'); }
    bool writeInt(const QString& name, int value) override { return write(name, value, 'i'); }
    bool deleteValue(const QString& name) override {
        if (!canWrite()) return false;
        auto list = entries();
        const auto i = indexOf(list, name);
        if (i < 0) return false;
        const auto before = m_root->snapshot(m_group);
        m_root->settings->remove(joinKey(m_group, list[i].key));
        list.removeAt(i);
        saveOrder(list);
        return m_root->commit(before);
    }
    QStringList valueNames() const override {
        QStringList names;
        for (const auto& e : entries())
            names << e.name;
        return names;
    }
    QStringList subkeyNames() const override {
        QStringList names;
        for (const QString& group : m_root->childGroups(m_group))
            names << decodeName(group);
        sortNames(names);
        return names;
    }

  private:
    struct Entry {
        QString name;
        QString key; // as stored
        char type;   // 's', 'i', or '?' for a value written by hand
    };

    QList<Entry> entries() const {
        QList<Entry> list;
        QSettings& s = *m_root->settings;
        const QString order = s.value(joinKey(m_group, kOrderKey)).toString();
        for (const QString& item : order.split(u'/', Qt::SkipEmptyParts)) {
            if (item.size() < 2 || item[1] != u':') continue;
            const char type = item[0].toLatin1();
            const QString key = item.mid(2);
            if ((type != 's' && type != 'i' && type != '?') || !s.contains(joinKey(m_group, key))) continue;
            if (std::any_of(list.cbegin(), list.cend(), [&](const Entry& e) { return e.key == key; }))
                continue;
            list.append({decodeName(key), key, type});
        }
        for (const QString& key : m_root->childKeys(m_group)) {
            if (key == kOrderKey) continue;
            if (std::any_of(list.cbegin(), list.cend(), [&](const Entry& e) { return e.key == key; }))
                continue;
            list.append({decodeName(key), key, '?'});
        }
        return list;
    }
    static qsizetype indexOf(const QList<Entry>& list, const QString& name) {
        for (qsizetype i = 0; i < list.size(); ++i)
            if (list[i].name == name) return i;
        for (qsizetype i = 0; i < list.size(); ++i)
            if (sameName(list[i].name, name)) return i;
        return -1;
    }
    std::optional<Entry> find(const QString& name) const {
        const auto list = entries();
        const auto i = indexOf(list, name);
        if (i < 0) return std::nullopt;
        return list[i];
    }
    QString text(const Entry& entry) const {
        const QVariant v = m_root->settings->value(joinKey(m_group, entry.key));
        // A hand-written value with commas comes back as a list.
        if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(QLatin1String(", "));
        return v.toString();
    }
    void saveOrder(const QList<Entry>& list) {
        QStringList items;
        for (const auto& e : list)
            items << QString(QLatin1Char(e.type)) + u':' + e.key;
        m_root->settings->setValue(joinKey(m_group, kOrderKey), items.join(u'/'));
    }
    bool canWrite() const { return m_writable && m_root->writable() && m_root->exists(m_group); }
    bool write(const QString& name, const QVariant& value, char type) {
        if (!canWrite()) return false;
        const auto before = m_root->snapshot(m_group);
        auto list = entries();
        auto i = indexOf(list, name);
        if (i < 0) {
            list.append({name, encodeName(name), type});
            i = list.size() - 1;
        } else {
            list[i].type = type; // a rewritten value keeps its place and takes the new type
        }
        m_root->settings->setValue(joinKey(m_group, list[i].key), value);
        saveOrder(list);
        return m_root->commit(before);
    }

    std::shared_ptr<IniRoot> m_root;
    QString m_group;
    bool m_writable;
};

class IniSettingsStore : public SettingsStore {
  public:
    IniSettingsStore(const QString& currentUserFile, const QString& localMachineFile)
        : m_roots{std::make_shared<IniRoot>(currentUserFile), std::make_shared<IniRoot>(localMachineFile)} {}

    std::unique_ptr<SettingsKey> open(Root root, const QString& path, Access access, bool create) override {
        const auto& r = m_roots[rootIndex(root)];
        const bool write = access != Access::Read;
        if (write && !r->writable()) return nullptr;
        const QStringList segments = pathSegments(path);
        auto group = r->resolve(segments, false);
        if (!group) {
            if (!create || !r->writable()) return nullptr;
            const auto before = r->snapshot(QString());
            group = r->resolve(segments, true);
            if (!r->commit(before)) return nullptr;
        }
        return std::make_unique<IniKey>(r, *group, write);
    }

    bool deleteKey(Root root, const QString& path) override {
        const auto& r = m_roots[rootIndex(root)];
        const QStringList segments = pathSegments(path);
        if (segments.isEmpty() || !r->writable()) return false;
        const auto group = r->resolve(segments, false);
        if (!group) return false;
        const auto before = r->snapshot(*group);
        r->settings->remove(*group);
        return r->commit(before);
    }

  private:
    std::array<std::shared_ptr<IniRoot>, 2> m_roots;
};

} // namespace

// ---------------------------------------------------------------------------

struct MemorySettingsStore::Data : MemoryTree {};

MemorySettingsStore::MemorySettingsStore() : d(std::make_shared<Data>()) {}
MemorySettingsStore::~MemorySettingsStore() = default;

std::unique_ptr<SettingsKey> MemorySettingsStore::open(Root root, const QString& path, Access access,
                                                       bool create) {
    const int r = rootIndex(root);
    const bool write = access != Access::Read;
    if (write && d->readOnly[r]) return nullptr;
    std::shared_ptr<Node> node = d->roots[r];
    for (const QString& segment : pathSegments(path)) {
        auto child = findChild(*node, segment);
        if (!child) {
            if (!create || d->readOnly[r]) return nullptr;
            child = std::make_shared<Node>();
            child->name = segment;
            node->children.push_back(child);
        }
        node = child;
    }
    return std::make_unique<MemoryKey>(std::shared_ptr<MemoryTree>(d), node, root, write);
}

bool MemorySettingsStore::deleteKey(Root root, const QString& path) {
    const int r = rootIndex(root);
    const QStringList segments = pathSegments(path);
    if (segments.isEmpty() || d->readOnly[r]) return false;
    std::shared_ptr<Node> parent = d->roots[r];
    for (qsizetype i = 0; i + 1 < segments.size(); ++i) {
        parent = findChild(*parent, segments[i]);
        if (!parent) return false;
    }
    auto& children = parent->children;
    const auto it = std::find_if(children.begin(), children.end(),
                                 [&](const auto& child) { return sameName(child->name, segments.last()); });
    if (it == children.end()) return false;
    markDeleted(**it);
    children.erase(it);
    return true;
}

void MemorySettingsStore::setReadOnly(Root root, bool readOnly) {
    d->readOnly[rootIndex(root)] = readOnly;
}

std::unique_ptr<SettingsStore> makeIniSettingsStore(const QString& currentUserFile,
                                                    const QString& localMachineFile) {
    return std::make_unique<IniSettingsStore>(currentUserFile, localMachineFile);
}

std::unique_ptr<SettingsStore> makeSystemSettingsStore() {
    const QString organization = QStringLiteral("Kestrava s.r.o.");
    const QString application = QStringLiteral("Ordana 2004");
    const QString user =
        QSettings(QSettings::IniFormat, QSettings::UserScope, organization, application).fileName();
    const QString machine =
        QSettings(QSettings::IniFormat, QSettings::SystemScope, organization, application).fileName();
    return makeIniSettingsStore(user, machine);
}

} // namespace platform
