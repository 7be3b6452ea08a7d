#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QTimer>

#include <array>
#include <deque>

namespace Starwick {

/// The rows of the day list: four text cells per row, held in a plain container. Rows are added and
/// cells written one at a time, thousands of them with a yield to the event loop in between, so the
/// model tells its views of new rows and changed cells in batches: at most once per
/// kAnnounceIntervalMs, or at once through announce(). Until then a view sees the rows it was
/// told of, while count() and cell() always give the rows as written.
class DayListModel : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY(DayListModel)

public:
    static constexpr int kColumns = 4;
    static constexpr int kAnnounceIntervalMs = 16;

    explicit DayListModel(QObject* parent = nullptr);
    ~DayListModel() override;

    /// Every row written, told to views or not.
    int count() const { return static_cast<int>(m_rows.size()); }
    void addRow(const QString& column0);
    /// The cell's text; "" for a row or column that does not exist.
    QString cell(int row, int column) const;
    /// Writes a cell; a row or column that does not exist is left alone.
    void setCell(int row, int column, const QString& text);
    void clear();

    /// Tells views now of every row added and cell written since they were last told.
    void announce();
    bool hasPendingChanges() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void scheduleAnnounce();

    // A deque, not a vector: growing never moves the rows already held (a vector's reallocation at
    // 8192 rows cost several milliseconds in one step between two yields).
    std::deque<std::array<QString, kColumns>> m_rows;
    int m_announced = 0; // rows the views know of
    // Changed cells of announced rows, as one rectangle.
    int m_dirtyTop = -1;
    int m_dirtyBottom = -1;
    int m_dirtyLeft = kColumns;
    int m_dirtyRight = -1;
    QTimer m_announceTimer;
};

} // namespace Starwick
