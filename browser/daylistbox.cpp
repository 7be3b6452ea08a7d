#include "browser/daylistbox.h"

#include "browser/daylistmodel.h"
#include "platform/system.h"

#include <QItemSelectionModel>
#include <QStyledItemDelegate>

namespace Starwick {

namespace {

// Draws rows as the default delegate does, without the focus rectangle around the current row.
class NoFocusRingDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state &= ~QStyle::State_HasFocus;
    }
};

} // namespace

DayListBox::DayListBox(QWidget* parent)
    : QListView(parent)
    , m_model(new DayListModel(this))
{
    setModel(m_model);
    setModelColumn(kVisibleColumn);
    setItemDelegate(new NoFocusRingDelegate(this));

    setFont(platform::SystemFont(9));

    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Always there, as the list's scroll bar is: it is drawn once when the drawer first shows, not
    // when the first rows arrive.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setUniformItemSizes(true);
    setLayoutMode(QListView::SinglePass);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setAttribute(Qt::WA_MacShowFocusRect, false);

    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &DayListBox::selectionHasChanged);
}

DayListBox::~DayListBox() = default;

void DayListBox::AddRow(const QString& column0)
{
    m_model->addRow(column0);
}

int DayListBox::ListCount() const
{
    return m_model->count();
}

QString DayListBox::Cell(int row, int column) const
{
    return m_model->cell(row, column);
}

void DayListBox::SetCell(int row, int column, const QString& text)
{
    m_model->setCell(row, column, text);
}

void DayListBox::DeleteAllRows()
{
    m_settingFromCode = true;
    m_model->clear();
    m_settingFromCode = false;
    m_lastRow = -1;
}

int DayListBox::ListIndex() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void DayListBox::SetListIndex(int row)
{
    // The row may not have been told to the view yet.
    m_model->announce();
    m_settingFromCode = true;
    if (row >= 0 && row < m_model->count()) {
        const QModelIndex index = m_model->index(row, kVisibleColumn);
        // The whole row, as a click or a key selects it: a selection of one cell would be widened
        // to the row by the view afterwards, a change of its own.
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(index);
    } else {
        selectionModel()->clearSelection();
    }
    m_settingFromCode = false;
    m_lastRow = ListIndex();
}

void DayListBox::selectionHasChanged()
{
    // A key press may change the selection more than once (the current cell, then its row): the
    // user chose one row, which is one change.
    const int row = ListIndex();
    if (m_settingFromCode || row == m_lastRow) {
        m_lastRow = row;
        return;
    }
    m_lastRow = row;
    emit Change();
}

} // namespace Starwick
