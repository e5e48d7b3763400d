#include "DatasetModel.h"

#include "Dataset.h"
#include "Error.h"

#include <QScopedValueRollback>

namespace {

// A value as the grid shows it; Booleans as the dataset writes them in texts.
QString displayText(const QVariant& v) {
    if (v.isNull()) return {};
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("-1") : QStringLiteral("0");
    case QMetaType::Double:
        return QString::number(v.toDouble(), 'g', 15);
    case QMetaType::QByteArray:
        return {};
    default:
        return v.toString();
    }
}

} // namespace

DatasetModel::DatasetModel(QObject* parent) : QAbstractTableModel(parent) {}

void DatasetModel::setColumns(const QList<DataGrid::Column>& columns) {
    beginResetModel();
    m_columns = columns;
    m_markColumn = -1;
    for (int i = 0; i < m_columns.size() && m_markColumn < 0; ++i)
        if (m_columns[i].field.compare(markField(), Qt::CaseInsensitive) == 0) m_markColumn = i;
    resolveFields();
    endResetModel();
}

void DatasetModel::setDataset(db::Dataset* dataset) {
    if (dataset == m_dataset) return;
    if (m_dataset) disconnect(m_dataset, nullptr, this, nullptr);
    m_dataset = dataset;
    if (dataset) {
        auto whenLinked = [this](auto handler) {
            return [this, handler](auto... args) {
                if (m_linkEnabled) {
                    (this->*handler)(args...);
                } else if constexpr (sizeof...(args) == 0) {
                    m_stale = true;
                }
            };
        };
        connect(dataset, &db::Dataset::opened, this, whenLinked(&DatasetModel::resetFromDataset));
        connect(dataset, &db::Dataset::closed, this, whenLinked(&DatasetModel::resetFromDataset));
        connect(dataset, &db::Dataset::rowAppended, this, whenLinked(&DatasetModel::rowAppended));
        connect(dataset, &db::Dataset::rowChanged, this, whenLinked(&DatasetModel::rowChanged));
        connect(dataset, &db::Dataset::rowRemoved, this, whenLinked(&DatasetModel::rowRemoved));
        // A lazy dataset learns of more rows as it moves on.
        connect(dataset, &db::Dataset::currentChanged, this, [this] {
            if (m_linkEnabled) catchUp();
        });
        // Gone with the dataset: show no rows.
        connect(dataset, &QObject::destroyed, this, [this] {
            beginResetModel();
            m_rows = 0;
            endResetModel();
        });
    }
    resetFromDataset();
}

db::Dataset* DatasetModel::dataset() const {
    return m_dataset;
}

void DatasetModel::setLinkEnabled(bool enabled) {
    if (enabled == m_linkEnabled) return;
    m_linkEnabled = enabled;
    if (enabled) resetFromDataset();
}

void DatasetModel::resetFromDataset() {
    QScopedValueRollback following(m_following, m_following + 1);
    beginResetModel();
    m_stale = false;
    m_rows = (m_dataset && m_dataset->isOpen()) ? m_dataset->recordCount() : 0;
    resolveFields();
    endResetModel();
}

void DatasetModel::resolveFields() {
    m_fields.clear();
    const bool open = m_dataset && m_dataset->isOpen();
    for (const DataGrid::Column& c : m_columns)
        m_fields << (open ? m_dataset->fieldIndex(c.field) : -1);
}

void DatasetModel::rowAppended(int position) {
    const int rows = m_dataset->recordCount();
    if (position != m_rows || rows != m_rows + 1) {
        resetFromDataset(); // not the next row: the model has lost track
        return;
    }
    QScopedValueRollback following(m_following, m_following + 1);
    beginInsertRows({}, position, position);
    m_rows = rows;
    endInsertRows();
}

void DatasetModel::rowChanged(int position) {
    if (position < 0 || position >= m_rows || m_columns.isEmpty()) return;
    QScopedValueRollback following(m_following, m_following + 1);
    emit dataChanged(index(position, 0), index(position, int(m_columns.size()) - 1));
}

void DatasetModel::rowRemoved(int position) {
    if (position < 0 || position >= m_rows || m_dataset->recordCount() != m_rows - 1) {
        resetFromDataset();
        return;
    }
    QScopedValueRollback following(m_following, m_following + 1);
    beginRemoveRows({}, position, position);
    m_rows = m_dataset->recordCount();
    endRemoveRows();
}

void DatasetModel::catchUp() {
    if (!m_dataset || !m_dataset->isOpen()) return;
    const int rows = m_dataset->recordCount();
    if (rows == m_rows) return;
    if (rows < m_rows) {
        resetFromDataset();
        return;
    }
    QScopedValueRollback following(m_following, m_following + 1);
    beginInsertRows({}, m_rows, rows - 1);
    m_rows = rows;
    endInsertRows();
}

int DatasetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int DatasetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant DatasetModel::valueAt(int row, int column) const {
    // Checked every time: while the link is disabled the dataset may have
    // changed under the rows the views know.
    if (m_stale || !m_dataset || !m_dataset->isOpen()) return {};
    const int field = m_fields.value(column, -1);
    if (field < 0 || field >= m_dataset->fieldCount()) return {};
    return m_dataset->valueAt(row, field);
}

QVariant DatasetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows || index.column() >= m_columns.size()) return {};
    const bool mark = index.column() == m_markColumn;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return mark ? QVariant() : QVariant(displayText(valueAt(index.row(), index.column())));
    case MarkRole:
        return mark ? QVariant(valueAt(index.row(), index.column()).toBool()) : QVariant();
    // Assistive technology reads the mark as a word and as a checked state.
    case Qt::AccessibleTextRole:
        if (!mark) return {};
        return valueAt(index.row(), index.column()).toBool() ? markedText() : unmarkedText();
    case Qt::CheckStateRole:
        if (!mark) return {};
        return valueAt(index.row(), index.column()).toBool() ? Qt::Checked : Qt::Unchecked;
    case Qt::TextAlignmentRole:
        return int(m_columns[index.column()].alignment | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (role) {
    case Qt::DisplayRole:
        return m_columns[section].title;
    case Qt::AccessibleTextRole:
        // The mark column's title is a symbol; it is spoken as a word.
        return section == m_markColumn ? markTitle() : QVariant();
    case Qt::TextAlignmentRole:
        return int(m_columns[section].alignment | Qt::AlignVCenter);
    default:
        return {};
    }
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return isEditable(index.column()) ? flags | Qt::ItemIsEditable : flags;
}

bool DatasetModel::isEditable(int column) const {
    return column >= 0 && column < m_columns.size() && !m_columns[column].readOnly &&
           column != m_markColumn && m_fields.value(column, -1) >= 0 && m_linkEnabled && !m_stale &&
           m_dataset && m_dataset->isOpen();
}

bool DatasetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || !value.isValid() || !isEditable(index.column()))
        return false;
    // The grid keeps the dataset on the selected row; another row is not edited.
    if (m_dataset->recNo() != index.row()) return false;
    try {
        m_dataset->edit();
        m_dataset->setValue(m_dataset->fieldName(m_fields[index.column()]), value);
        m_dataset->post(); // the posted row is shown through rowChanged
    } catch (const db::Error& e) {
        m_dataset->cancel();
        emit editFailed(e.message());
        return false;
    }
    return true;
}
