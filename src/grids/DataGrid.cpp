#include "DataGrid.h"

#include "Dataset.h"
#include "DatasetModel.h"
#include "Error.h"

#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
#include <QScopedValueRollback>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>

#include <algorithm>
#include <numeric>

namespace {

// Silver grid lines and flat titles: a plain face with a silver line to the
// right and below each title instead of the raised look of the style. The
// selection colours are given for every colour group, so the selected row keeps
// the highlight colour while another control has the focus.
const char* const kLook = R"(
DataGrid {
    gridline-color: #c0c0c0;
    selection-background-color: palette(highlight);
    selection-color: palette(highlighted-text);
}
DataGrid QHeaderView::section {
    background-color: palette(button);
    color: palette(button-text);
    border: none;
    border-right: 1px solid #c0c0c0;
    border-bottom: 1px solid #c0c0c0;
    padding: 1px 3px;
}
)";

// Splits `total` pixels into parts proportional to `weights`; the parts add up
// to `total` exactly (each boundary is rounded, not each part).
QList<int> proportionalParts(const QList<double>& weights, int total) {
    QList<int> parts;
    const double sum = std::accumulate(weights.begin(), weights.end(), 0.0);
    if (weights.isEmpty() || sum <= 0) return parts;
    double cumulative = 0;
    int previous = 0;
    for (double w : weights) {
        cumulative += w;
        const int boundary = int(total * cumulative / sum + 0.5);
        parts.append(boundary - previous);
        previous = boundary;
    }
    return parts;
}

// Column titles that show each column's own sort state as the style's sort
// arrow (the header view itself shows one for a single column only):
// ascending points up, descending down, as Windows lists show them.
class SortHeader : public QHeaderView {
  public:
    SortHeader(const QList<DataGrid::SortState>& states, QWidget* parent)
        : QHeaderView(Qt::Horizontal, parent), m_states(states) {}

  protected:
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override {
        QHeaderView::initStyleOptionForIndex(option, logicalIndex);
        switch (m_states.value(logicalIndex, DataGrid::SortState::None)) {
        case DataGrid::SortState::None:
            option->sortIndicator = QStyleOptionHeader::None;
            break;
        case DataGrid::SortState::Ascending:
            option->sortIndicator = QStyleOptionHeader::SortUp;
            break;
        case DataGrid::SortState::Descending:
            option->sortIndicator = QStyleOptionHeader::SortDown;
            break;
        }
    }

  private:
    const QList<DataGrid::SortState>& m_states;
};

// The mark column: the cell's background and selection as the style draws
// them, and the mark image in the middle instead of a text.
class MarkDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        opt.text.clear();
        // The check state is there for assistive technology; the image shows it.
        opt.features &= ~(QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasCheckIndicator);
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        const QPixmap image = DataGrid::markImage(index.data(DatasetModel::MarkRole).toBool(), ratio);
        const QSize size = (QSizeF(image.size()) / image.devicePixelRatio()).toSize();
        const QRect target = QStyle::alignedRect(opt.direction, Qt::AlignCenter, size, opt.rect);
        painter->drawPixmap(target.topLeft(), image);
    }
};

} // namespace

DataGrid::DataGrid(QWidget* parent)
    : QTableView(parent), m_model(new DatasetModel(this)), m_markDelegate(new MarkDelegate(this)) {
    setHorizontalHeader(new SortHeader(m_sortStates, this));
    setModel(m_model);
    // The owner builds the grid's menu; a right click selects the row first.
    setContextMenuPolicy(Qt::CustomContextMenu);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditingEnabled(true);
    connect(m_model, &DatasetModel::editFailed, this, &DataGrid::datasetError);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setShowGrid(true);
    setGridStyle(Qt::SolidLine);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    // Tab moves on to the next control: the grid selects rows, not cells.
    setTabKeyNavigation(false);
    setStyleSheet(QString::fromLatin1(kLook));

    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);

    QHeaderView* header = horizontalHeader();
    header->setSectionsMovable(false);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setMinimumSectionSize(8);
    // Title clicks only change the sort states: the view never sorts.
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    setSortingEnabled(false);
    connect(header, &QHeaderView::sectionResized, this, [this](int logical, int, int newSize) {
        if (!m_fitting) userResizedSection(logical, newSize);
    });
    connect(header, &QHeaderView::sectionClicked, this, &DataGrid::titleClicked);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { selectionMoved(current); });
    // The dataset's current row stays highlighted (Ctrl with a click or the
    // space bar would take the highlight away).
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_followingDataset && !m_model->isFollowing() && !selectionModel()->hasSelection())
            followDataset();
    });
    adjustRowHeight();
}

DataGrid::~DataGrid() = default;

void DataGrid::setColumns(const QList<Column>& columns) {
    if (m_model->markColumn() >= 0) setItemDelegateForColumn(m_model->markColumn(), nullptr);
    m_columns = columns;
    m_weights.clear();
    for (const Column& c : columns)
        m_weights.append(std::max(1, c.width));
    m_sortStates = QList<SortState>(columns.size(), SortState::None);
    m_model->setColumns(columns);
    if (m_model->markColumn() >= 0) setItemDelegateForColumn(m_model->markColumn(), m_markDelegate);
    // The header keeps hidden sections across a reset with as many columns.
    {
        QScopedValueRollback fitting(m_fitting, true);
        for (int i = 0; i < columns.size(); ++i) {
            setColumnHidden(i, false);
            // The edge of a column of fixed width cannot be dragged.
            horizontalHeader()->setSectionResizeMode(i, columns[i].fixedWidth ? QHeaderView::Fixed
                                                                              : QHeaderView::Interactive);
        }
    }
    fitColumns();
    followDataset();
}

int DataGrid::columnOf(const QString& field) const {
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].field.compare(field, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

void DataGrid::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    fitColumns();
}

void DataGrid::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) adjustRowHeight();
}

QList<int> DataGrid::shownColumns() const {
    QList<int> shown;
    for (int i = 0; i < m_columns.size(); ++i)
        if (!isColumnHidden(i)) shown.append(i);
    return shown;
}

bool DataGrid::isFixed(int column) const {
    return column >= 0 && column < m_columns.size() && m_columns[column].fixedWidth;
}

// The shown columns from position on: those that share the width, and the
// pixels those of fixed width take.
DataGrid::Sharing DataGrid::sharing(const QList<int>& shown, qsizetype position) const {
    Sharing out;
    for (qsizetype i = position; i < shown.size(); ++i) {
        if (isFixed(shown[i]))
            out.fixedPixels += m_columns[shown[i]].width;
        else
            out.columns.append(shown[i]);
    }
    return out;
}

void DataGrid::fitColumns() {
    const QList<int> shown = shownColumns();
    const Sharing share = sharing(shown, 0);
    QList<double> weights;
    for (int i : share.columns)
        weights.append(m_weights.value(i, 1));
    const QList<int> widths =
        proportionalParts(weights, std::max(0, viewport()->width() - share.fixedPixels));
    m_fitting = true;
    for (int i : shown)
        if (isFixed(i)) horizontalHeader()->resizeSection(i, m_columns[i].width);
    for (int i = 0; i < widths.size(); ++i)
        horizontalHeader()->resizeSection(share.columns[i], widths[i]);
    m_fitting = false;
}

bool DataGrid::isColumnShown(int column) const {
    return column >= 0 && column < m_columns.size() && !isColumnHidden(column);
}

void DataGrid::setColumnShown(int column, bool shown) {
    if (column < 0 || column >= m_columns.size() || isColumnShown(column) == shown) return;
    {
        // Hiding or showing resizes the section; that is no drag of the user.
        QScopedValueRollback fitting(m_fitting, true);
        setColumnHidden(column, !shown);
    }
    fitColumns();
}

void DataGrid::setColumnWidths(const QList<int>& widths) {
    for (int i = 0; i < std::min(widths.size(), m_weights.size()); ++i)
        m_weights[i] = std::max(1, widths[i]);
    fitColumns();
}

void DataGrid::userResizedSection(int logical, int newSize) {
    const QList<int> shown = shownColumns();
    const qsizetype position = shown.indexOf(logical);
    if (position < 0) return;
    const Sharing rest = sharing(shown, position + 1);
    if (isFixed(logical) || rest.columns.isEmpty()) {
        // A column of fixed width keeps it, and the last sharing column ends at
        // the right edge: neither can be dragged wider or narrower.
        fitColumns();
        return;
    }
    // The columns left of the dragged one keep their widths; the ones after it
    // share what is left in their proportions.
    QHeaderView* header = horizontalHeader();
    const int available = viewport()->width() - rest.fixedPixels;
    const int minimum = header->minimumSectionSize();
    int before = 0;
    for (qsizetype i = 0; i < position; ++i)
        before += header->sectionSize(shown[i]);
    const int after = int(rest.columns.size());
    const int size = std::clamp(newSize, minimum, std::max(minimum, available - before - after * minimum));
    QList<double> restWeights;
    for (int i : rest.columns)
        restWeights.append(m_weights[i]);
    const QList<int> widths = proportionalParts(restWeights, available - before - size);

    m_fitting = true;
    header->resizeSection(logical, size);
    for (int i = 0; i < widths.size(); ++i)
        header->resizeSection(rest.columns[i], widths[i]);
    m_fitting = false;
    for (int i : shown)
        if (!isFixed(i)) m_weights[i] = std::max(1, header->sectionSize(i));
}

void DataGrid::adjustRowHeight() {
    // Compact rows: the text line with a little room for the grid line.
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
}

// ---- dataset link -------------------------------------------------------------

void DataGrid::setDataset(db::Dataset* dataset) {
    if (dataset == m_dataset) return;
    if (m_dataset) disconnect(m_dataset, nullptr, this, nullptr);
    m_dataset = dataset;
    m_model->setDataset(dataset);
    if (dataset) connect(dataset, &db::Dataset::currentChanged, this, &DataGrid::followDataset);
    fitColumns();
    followDataset();
}

db::Dataset* DataGrid::dataset() const {
    return m_dataset;
}

void DataGrid::setDataLinkEnabled(bool enabled) {
    if (enabled == m_linkEnabled) return;
    m_linkEnabled = enabled;
    m_model->setLinkEnabled(enabled);
    if (enabled) {
        fitColumns();
        followDataset();
    }
}

void DataGrid::setEditingEnabled(bool enabled) {
    // Only the editable columns' cells open an editor; the row is the current one.
    setEditTriggers(enabled ? QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed
                            : QAbstractItemView::NoEditTriggers);
}

// Selects the dataset's current row, or nothing while it has none.
void DataGrid::followDataset() {
    if (!m_linkEnabled || m_movingDataset) return;
    QScopedValueRollback following(m_followingDataset, true);
    const int row = (m_dataset && m_dataset->isOpen()) ? m_dataset->recNo() : -1;
    if (row < 0 || row >= m_model->rowCount()) {
        if (currentIndex().isValid() || selectionModel()->hasSelection()) selectionModel()->clear();
        return;
    }
    if (currentIndex().row() == row && selectionModel()->isRowSelected(row)) return;
    const int column = std::max(0, currentIndex().column());
    selectionModel()->setCurrentIndex(m_model->index(row, column),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

// The user (or the view for the user) made another row current: move the
// dataset there.
void DataGrid::selectionMoved(const QModelIndex& current) {
    if (m_followingDataset || m_model->isFollowing() || !m_linkEnabled) return;
    if (!current.isValid() || !m_dataset || !m_dataset->isOpen()) return;
    const int row = current.row();
    if (m_dataset->recNo() == row) return;
    // moveBy counts from before the first row or after the last one when the
    // dataset has no current row.
    const int from =
        m_dataset->bof() ? -1 : (m_dataset->eof() ? m_dataset->recordCount() : m_dataset->recNo());
    try {
        QScopedValueRollback moving(m_movingDataset, true);
        m_dataset->moveBy(row - from);
    } catch (const db::Error& e) {
        followDataset();
        emit datasetError(e.message());
        return;
    }
    // The row callback may have moved the dataset on; show where it is.
    followDataset();
    if (m_dataset && m_dataset->recNo() == row) emit currentRowChanged();
}

// ---- sort states --------------------------------------------------------------

DataGrid::SortState DataGrid::sortState(int column) const {
    return m_sortStates.value(column, SortState::None);
}

void DataGrid::setSortState(int column, SortState state) {
    if (column < 0 || column >= m_sortStates.size() || m_sortStates[column] == state) return;
    m_sortStates[column] = state;
    horizontalHeader()->viewport()->update();
}

void DataGrid::clearSortStates() {
    m_sortStates.fill(SortState::None);
    horizontalHeader()->viewport()->update();
}

void DataGrid::titleClicked(int column) {
    if (column < 0 || column >= m_sortStates.size()) return;
    SortState next = SortState::None;
    switch (m_sortStates[column]) {
    case SortState::None:
        next = SortState::Ascending;
        break;
    case SortState::Ascending:
        next = SortState::Descending;
        break;
    case SortState::Descending:
        next = SortState::None;
        break;
    }
    setSortState(column, next);
    emit sortStateChanged(column, next);
}

// ---- mark images --------------------------------------------------------------

QPixmap DataGrid::markImage(bool marked, qreal devicePixelRatio) {
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    // Every mark cell of every repaint asks for one of the two.
    const QString key = QStringLiteral("DataGrid-mark-%1-%2").arg(marked).arg(ratio);
    QPixmap image;
    if (QPixmapCache::find(key, &image)) return image;

    // An empty white box, or the box with a green check: clear on the plain and
    // on the highlighted rows alike.
    constexpr int side = 11;
    image = QPixmap(QSize(side, side) * ratio);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(0.5, 0.5, side - 1, side - 1));
        if (marked) {
            QPen pen(QColor(0x00, 0x80, 0x00), 2);
            pen.setCapStyle(Qt::RoundCap);
            pen.setJoinStyle(Qt::RoundJoin);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            QPainterPath check;
            check.moveTo(2.5, 5.5);
            check.lineTo(4.5, 8.0);
            check.lineTo(8.5, 2.5);
            p.drawPath(check);
        }
    }
    QPixmapCache::insert(key, image);
    return image;
}

// ---- pointer ------------------------------------------------------------------

bool DataGrid::inMarkArea(const QPoint& pos) const {
    return pos.x() > 0 && pos.x() < columnWidth(0) && indexAt(pos).isValid();
}

void DataGrid::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    m_markPressRow = -1;
    if (event->button() == Qt::RightButton) {
        // The owner's menu works on the row under the pointer.
        const QModelIndex index = indexAt(pos);
        if (index.isValid() && index.row() != currentIndex().row())
            selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
    }
    QTableView::mousePressEvent(event);
    // The view applies the press's selection after reporting the new current
    // row: put the highlight back on the dataset's row when it did not move
    // there (a failed move, a press below the rows).
    followDataset();
    if (event->button() == Qt::LeftButton && inMarkArea(pos)) m_markPressRow = indexAt(pos).row();
}

void DataGrid::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const int pressed = std::exchange(m_markPressRow, -1);
    QTableView::mouseReleaseEvent(event);
    followDataset();
    // Only when the clicked row really is the dataset's current row: the owner
    // changes the mark of the current row.
    if (event->button() != Qt::LeftButton || pressed < 0 || !inMarkArea(pos) || indexAt(pos).row() != pressed)
        return;
    if (m_dataset && m_dataset->isOpen() && m_linkEnabled && m_dataset->recNo() == pressed)
        emit markColumnClicked();
}

void DataGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid())
        emit rowDoubleClicked();
}

void DataGrid::enterEvent(QEnterEvent* event) {
    QTableView::enterEvent(event);
    emit pointerEntered();
}

void DataGrid::leaveEvent(QEvent* event) {
    QTableView::leaveEvent(event);
    emit pointerLeft();
}
