#include "DataGrid.h"

#include <QEvent>
#include <QHeaderView>
#include <QStandardItemModel>

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

} // namespace

DataGrid::DataGrid(QWidget* parent) : QTableView(parent), m_titles(new QStandardItemModel(this)) {
    setModel(m_titles);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
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
    connect(header, &QHeaderView::sectionResized, this, [this](int logical, int, int newSize) {
        if (!m_fitting) userResizedSection(logical, newSize);
    });
    adjustRowHeight();
}

void DataGrid::setColumns(const QList<Column>& columns) {
    m_columns = columns;
    m_weights.clear();
    m_titles->clear();
    m_titles->setColumnCount(int(columns.size()));
    for (int i = 0; i < columns.size(); ++i) {
        const Column& c = columns[i];
        auto* item = new QStandardItem(c.title);
        item->setData(c.field, Qt::UserRole);
        item->setTextAlignment(c.alignment | Qt::AlignVCenter);
        m_titles->setHorizontalHeaderItem(i, item);
        m_weights.append(std::max(1, c.width));
    }
    fitColumns();
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

void DataGrid::fitColumns() {
    const QList<int> widths = proportionalParts(m_weights, viewport()->width());
    m_fitting = true;
    for (int i = 0; i < widths.size(); ++i)
        horizontalHeader()->resizeSection(i, widths[i]);
    m_fitting = false;
}

void DataGrid::userResizedSection(int logical, int newSize) {
    const int count = int(m_weights.size());
    if (logical < 0 || logical >= count) return;
    if (logical == count - 1) {
        // The last column ends at the right edge; it cannot be dragged wider or narrower.
        fitColumns();
        return;
    }
    // The columns left of the dragged one keep their widths; the ones after it
    // share what is left in their proportions.
    QHeaderView* header = horizontalHeader();
    const int available = viewport()->width();
    const int minimum = header->minimumSectionSize();
    int before = 0;
    for (int i = 0; i < logical; ++i)
        before += header->sectionSize(i);
    const int after = count - 1 - logical;
    const int size = std::clamp(newSize, minimum, std::max(minimum, available - before - after * minimum));
    const QList<int> rest = proportionalParts(m_weights.mid(logical + 1), available - before - size);

    m_fitting = true;
    header->resizeSection(logical, size);
    for (int i = 0; i < rest.size(); ++i)
        header->resizeSection(logical + 1 + i, rest[i]);
    m_fitting = false;
    for (int i = 0; i < count; ++i)
        m_weights[i] = std::max(1, header->sectionSize(i));
}

void DataGrid::adjustRowHeight() {
    // Compact rows: the text line with a little room for the grid line.
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
}
