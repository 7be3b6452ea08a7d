#include "browser/daylistbox.h"
#include "browser/daylistmodel.h"
#include "browser/indexwindow.h"
#include "platform/drawer.h"
#include "platform/eventloop.h"
#include "platform/system.h"
#include "support/testenv.h"

#include <QAbstractItemModelTester>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextDocument>

using namespace Starwick;

namespace {

class ParentWindow : public platform::Window
{
public:
    ParentWindow() { setContentSize(600, 500); }
};

// Rows as the archive gives them: column 0 the line, column 1 the page, column 2 the text shown.
void fill(DayListBox* list, int rows)
{
    for (int i = 0; i < rows; ++i) {
        list->AddRow(QStringLiteral("line %1").arg(i));
        list->SetCell(i, 1, QStringLiteral("http://example.org/apod/ap%1.html").arg(i));
        list->SetCell(i, 2, QStringLiteral("2023/02/%1: Day %1").arg(i));
        list->SetCell(i, 3, QStringLiteral("hidden %1").arg(i));
    }
}

QPoint rowCentre(DayListBox* list, int row)
{
    const QModelIndex index = list->model()->index(row, DayListBox::kVisibleColumn);
    list->scrollTo(index);
    return list->visualRect(index).center();
}

} // namespace

class TestIndexWindow : public QObject
{
    Q_OBJECT

private:
    IndexWindow* m_window = nullptr;
    DayListBox* m_list = nullptr;

    void showDrawer()
    {
        platform::showAsDrawer(m_window, platform::Instance<ParentWindow>(), platform::DrawerLeftEdge);
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        m_list->dayModel()->announce();
        platform::YieldToEventLoop();
    }

private slots:
    void init()
    {
        m_window = IndexWindow::instance();
        m_list = m_window->ListBox1;
    }

    void cleanup()
    {
        m_window->close();
        if (ParentWindow* parent = platform::ExistingInstance<ParentWindow>())
            parent->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void madeHiddenWithAnEmptyList()
    {
        QVERIFY(!m_window->isVisible());
        QCOMPARE(IndexWindow::instance(), m_window);
        QCOMPARE(m_window->Title(), QStringLiteral("APOD Index"));
        QCOMPARE(m_window->Width(), 274);
        QCOMPARE(m_window->Height(), 473);
        QCOMPARE(m_window->minimumSize(), QSize(274, 473));
        QCOMPARE(m_window->maximumSize(), QSize(550, 32000));
        QCOMPARE(m_list->geometry(), QRect(0, 0, 267, 473));
        QCOMPARE(m_list->ListCount(), 0);
        QCOMPARE(m_list->ListIndex(), -1);

        // 9 points on the main window's 13-point scale.
        QCOMPARE(m_list->font().pointSizeF(), platform::SystemFont(9).pointSizeF());
        QCOMPARE(m_list->selectionMode(), QAbstractItemView::SingleSelection);
        QCOMPARE(m_list->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(m_list->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QVERIFY(!m_list->dragEnabled());
        QCOMPARE(m_list->dragDropMode(), QAbstractItemView::NoDragDrop);
        QCOMPARE(m_list->editTriggers(), QAbstractItemView::NoEditTriggers);
        QVERIFY(m_list->uniformItemSizes());
    }

    void hoverShowsATitleAsItStands()
    {
        const QString title = QStringLiteral("2024/12/20:<b>Bold</b> & <img src=x> &amp;");
        m_list->AddRow(QString());
        m_list->SetCell(0, 2, title);
        m_list->dayModel()->announce();
        QTextDocument shown;
        shown.setHtml(m_list->model()->index(0, 2).data(Qt::ToolTipRole).toString());
        QCOMPARE(shown.toPlainText(), title);
        QCOMPARE(m_list->model()->index(0, 2).data().toString(), title);
    }

    void onlyColumnTwoShows()
    {
        fill(m_list, 3);
        showDrawer();
        QCOMPARE(m_list->model()->columnCount(), 4);
        QCOMPARE(m_list->modelColumn(), 2);
        for (int column = 0; column < 4; ++column) {
            const QRect rect = m_list->visualRect(m_list->model()->index(1, column));
            QCOMPARE(rect.isEmpty(), column != 2);
        }
        QCOMPARE(m_list->indexAt(rowCentre(m_list, 1)).data().toString(), QStringLiteral("2023/02/1: Day 1"));
        // The rows grow with the drawer; the view is as tall as the window's content.
        QCOMPARE(m_list->height(), m_window->Height());
    }

    void rowsAndCells_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first row, line") << 0 << 0 << QStringLiteral("line 0");
        QTest::newRow("page") << 2 << 1 << QStringLiteral("http://example.org/apod/ap2.html");
        QTest::newRow("display text") << 4 << 2 << QStringLiteral("2023/02/4: Day 4");
        QTest::newRow("column 3") << 4 << 3 << QStringLiteral("hidden 4");
        QTest::newRow("row -1") << -1 << 1 << QString();
        QTest::newRow("row past the end") << 5 << 1 << QString();
        QTest::newRow("column -1") << 1 << -1 << QString();
        QTest::newRow("column 4") << 1 << 4 << QString();
    }

    void rowsAndCells()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, expected);
        fill(m_list, 5);
        QCOMPARE(m_list->ListCount(), 5);
        QCOMPARE(m_list->Cell(row, column), expected);
        // Writing a cell that does not exist changes nothing.
        m_list->SetCell(row, column, QStringLiteral("new"));
        QCOMPARE(m_list->Cell(row, column), expected.isNull() ? QString() : QStringLiteral("new"));
        QCOMPARE(m_list->ListCount(), 5);
    }

    void viewIsToldOfChangesInBatches()
    {
        QAbstractItemModel* model = m_list->model();
        QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        fill(m_list, 200);
        QCOMPARE(m_list->ListCount(), 200);
        QCOMPARE(model->rowCount(), 0); // not told yet
        QTRY_COMPARE(model->rowCount(), 200);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(changed.count(), 0); // the new rows' cells came with them

        for (int i = 0; i < 200; ++i)
            m_list->SetCell(i, 2, QStringLiteral("changed %1").arg(i));
        QTRY_COMPARE(changed.count(), 1);
        const QModelIndex topLeft = changed.first().at(0).toModelIndex();
        const QModelIndex bottomRight = changed.first().at(1).toModelIndex();
        QCOMPARE(topLeft.row(), 0);
        QCOMPARE(bottomRight.row(), 199);
        QCOMPARE(topLeft.column(), 2);
        QCOMPARE(bottomRight.column(), 2);
        QCOMPARE(model->index(150, 2).data().toString(), QStringLiteral("changed 150"));
    }

    void passesTheModelTester()
    {
        QAbstractItemModelTester tester(m_list->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        fill(m_list, 50);
        m_list->dayModel()->announce();
        fill(m_list, 10);
        m_list->SetCell(3, 2, QStringLiteral("x"));
        m_list->dayModel()->announce();
        QCOMPARE(m_list->model()->rowCount(), 60);
        m_list->SetListIndex(7);
        m_list->DeleteAllRows();
        QCOMPARE(m_list->ListCount(), 0);
        QCOMPARE(m_list->ListIndex(), -1);
        QCOMPARE(m_list->model()->rowCount(), 0);
    }

    void selectionFromCode_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("expected");
        QTest::newRow("first") << 0 << 0;
        QTest::newRow("last, not yet told to the view") << 299 << 299;
        QTest::newRow("-1 clears") << -1 << -1;
        QTest::newRow("past the end clears") << 300 << -1;
        QTest::newRow("below -1 clears") << -5 << -1;
    }

    void selectionFromCode()
    {
        QFETCH(int, row);
        QFETCH(int, expected);
        fill(m_list, 300);
        QSignalSpy change(m_list, &DayListBox::Change);
        m_list->SetListIndex(100);
        m_list->SetListIndex(row);
        QCOMPARE(m_list->ListIndex(), expected);
        QCOMPARE(change.count(), 0); // setting the index from code raises no change event
    }

    void userSelectionRaisesChange()
    {
        fill(m_list, 40);
        showDrawer();
        QSignalSpy change(m_list, &DayListBox::Change);

        QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, rowCentre(m_list, 3));
        QCOMPARE(change.count(), 1);
        QCOMPARE(m_list->ListIndex(), 3);

        // The same row again is no change.
        QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, rowCentre(m_list, 3));
        QCOMPARE(change.count(), 1);

        QTest::keyClick(m_list, Qt::Key_Down);
        QCOMPARE(change.count(), 2);
        QCOMPARE(m_list->ListIndex(), 4);

        // Ctrl+click on the selected row clears the selection: a change with no row.
        QTest::mouseClick(m_list->viewport(), Qt::LeftButton, Qt::ControlModifier, rowCentre(m_list, 4));
        QCOMPARE(change.count(), 3);
        QCOMPARE(m_list->ListIndex(), -1);

        QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, rowCentre(m_list, 39));
        QCOMPARE(change.count(), 4);
        QCOMPARE(m_list->ListIndex(), 39);
    }

    void hidingKeepsRowsAndSelection()
    {
        fill(m_list, 500);
        showDrawer();
        m_window->hide();
        m_list->SetListIndex(450);
        showDrawer();
        QCOMPARE(IndexWindow::instance(), m_window);
        QCOMPARE(m_list->ListCount(), 500);
        QCOMPARE(m_list->ListIndex(), 450);
        // The row selected while hidden is in view once shown.
        QTRY_VERIFY(m_list->viewport()->rect().contains(
            m_list->visualRect(m_list->model()->index(450, DayListBox::kVisibleColumn)).center()));
    }
};

STARWICK_TEST_MAIN(TestIndexWindow)
#include "tst_indexwindow.moc"
