#pragma once

#include <QListView>

namespace Starwick {

class DayListModel;

/// The list box of the index drawer: rows of four text columns, of which only column 2 shows, one
/// row selected at a time. Rows live in a DayListModel that tells the view of changes in batches,
/// so adding or rewriting thousands of rows with a yield after each stays cheap (uniform row
/// heights; the view relays itself out once per batch, not once per row).
///
/// The selection index is -1 when no row is selected. Change is emitted when the user changes the
/// selection (click, Ctrl+click that clears it, keyboard) to another row, once per change of row;
/// setting the index from code through SetListIndex does not emit it, nor does emptying the list.
class DayListBox : public QListView
{
    Q_OBJECT
    Q_DISABLE_COPY(DayListBox)

public:
    /// The column that shows.
    static constexpr int kVisibleColumn = 2;

    explicit DayListBox(QWidget* parent = nullptr);
    ~DayListBox() override;

    /// Adds a row with `column0` as its column 0 and the other columns empty.
    void AddRow(const QString& column0);
    int ListCount() const;
    /// A cell's text; "" for a row or column that does not exist.
    QString Cell(int row, int column) const;
    /// Writes a cell; a row or column that does not exist is left alone.
    void SetCell(int row, int column, const QString& text);
    void DeleteAllRows();

    /// The selected row, or -1.
    int ListIndex() const;
    /// Selects `row` and scrolls it into view; -1 (or a row that does not exist) clears the selection.
    void SetListIndex(int row);

    DayListModel* dayModel() const { return m_model; }

signals:
    void Change();

private:
    void selectionHasChanged();

    DayListModel* m_model;
    bool m_settingFromCode = false;
    /// The selected row when the selection last changed, so that a change that keeps the row is
    /// not told as a new choice.
    int m_lastRow = -1;
};

} // namespace Starwick
