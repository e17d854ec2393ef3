#include "gui/kit/SortableList.h"
#include "gui/GuiTestSupport.h"
#include "gui/mainwindow/ComputerTableModel.h"

#include <QHeaderView>
#include <QTableView>
#include <QTest>

#include <memory>

namespace rm {

// The computer rows in a table view with the sortable list attached, driven
// through the header and the rows as a user would.
class SortableListTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ComputerTableModel> rows;
    std::unique_ptr<QTableView> view;
    SortableList* list = nullptr;

    // Rows in this order from the top, each with its own text in cell 1.
    void fill(std::initializer_list<const char*> names)
    {
        std::vector<ComputerRow> filled;
        for (const char* name : names)
            filled.push_back({{name, std::string(name) + "-type"}, std::nullopt});
        rows->setRows(filled);
    }
    void account(int row, const std::string& user, std::vector<std::string> groups = {})
    {
        rows->setAccount(row, AccountInfo{user, true, std::move(groups), 0, 0});
    }
    std::vector<std::string> column(int c) const
    {
        std::vector<std::string> texts;
        for (int r = 0; r < rows->rowCount(); ++r)
            texts.push_back(rows->cellText(r, c));
        return texts;
    }
    void clickHeader(int column, Qt::MouseButton button = Qt::LeftButton)
    {
        QHeaderView* header = view->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + 5, header->height() / 2);
        QTest::mouseClick(header->viewport(), button, {}, at);
    }
    void clickRow(int row, Qt::KeyboardModifiers modifiers = {})
    {
        const QRect cell = view->visualRect(rows->index(row, CellName));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, cell.center());
    }
    // What the view shows as selected, top to bottom.
    std::vector<int> shownSelection() const
    {
        QCoreApplication::processEvents();
        std::vector<int> selected;
        for (int r = 0; r < rows->rowCount(); ++r)
            if (view->selectionModel()->isRowSelected(r, QModelIndex()))
                selected.push_back(r);
        return selected;
    }

private slots:
    void initTestCase() { prepareGuiTest(); }

    void init()
    {
        rows = std::make_unique<ComputerTableModel>();
        view = std::make_unique<QTableView>();
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        view->horizontalHeader()->setSectionsMovable(true);
        list = new SortableList(view.get(), rows.get());
        view->resize(800, 300);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    }

    void cleanup()
    {
        view.reset();
        rows.reset();
    }

    void firstClickAscendsFurtherClicksReverse()
    {
        fill({"PC10", "pc2", "PC1", "PC33", "PC3"});
        QCOMPARE(list->sorter().sortColumn(), -1);
        clickHeader(CellName);
        QCOMPARE(column(CellName), (std::vector<std::string>{"PC1", "pc2", "PC3", "PC10", "PC33"}));
        QCOMPARE(rows->cellText(3, CellType), std::string("PC10-type")); // whole rows move
        QCOMPARE(view->model()->index(3, CellType).data().toString(), QString("PC10-type"));
        clickHeader(CellName);
        QCOMPARE(column(CellName), (std::vector<std::string>{"PC33", "PC10", "PC3", "pc2", "PC1"}));
        QVERIFY(!list->sorter().sortAscending());
        clickHeader(CellName);
        QCOMPARE(column(CellName), (std::vector<std::string>{"PC1", "pc2", "PC3", "PC10", "PC33"}));
    }

    void anotherColumnStartsAscending()
    {
        fill({"b", "c", "a"});
        account(0, "2");
        account(1, "10");
        account(2, "1");
        clickHeader(CellUser);
        clickHeader(CellUser); // descending
        QCOMPARE(column(CellUser), (std::vector<std::string>{"10", "2", "1"}));
        clickHeader(CellName);
        QCOMPARE(column(CellName), (std::vector<std::string>{"a", "b", "c"}));
        clickHeader(CellUser); // ascending again, whatever it was before
        QCOMPARE(column(CellUser), (std::vector<std::string>{"1", "2", "10"}));
        QCOMPARE(list->sorter().sortColumn(), int(CellUser));
        QVERIFY(list->sorter().sortAscending());
    }

    void onlyTheLeftButtonSorts()
    {
        fill({"b", "c", "a"});
        clickHeader(CellName, Qt::RightButton);
        clickHeader(CellName, Qt::MiddleButton);
        QCOMPARE(column(CellName), (std::vector<std::string>{"b", "c", "a"}));
        QCOMPARE(list->sorter().sortColumn(), -1);
    }

    void selectionAndFocusTravelWithTheirRows()
    {
        fill({"c", "a", "b", "d"});
        clickRow(0);                        // "c"
        clickRow(2, Qt::ControlModifier);   // "b", now the current row too
        QCOMPARE(selectedRows(*rows), (std::vector<int>{0, 2}));
        QCOMPARE(view->currentIndex().row(), 2);

        clickHeader(CellName);
        QCOMPARE(column(CellName), (std::vector<std::string>{"a", "b", "c", "d"}));
        QCOMPARE(selectedRows(*rows), (std::vector<int>{1, 2}));
        QCOMPARE(shownSelection(), (std::vector<int>{1, 2}));
        QCOMPARE(view->currentIndex().row(), 1);

        // A selection made by the program travels as well.
        rows->setSelected(3, true); // "d"
        clickHeader(CellName);
        QCOMPARE(column(CellName), (std::vector<std::string>{"d", "c", "b", "a"}));
        QCOMPARE(selectedRows(*rows), (std::vector<int>{0, 1, 2}));
        QCOMPARE(shownSelection(), (std::vector<int>{0, 1, 2}));
        QCOMPARE(view->currentIndex().row(), 2);

        clickRow(1, Qt::ControlModifier); // the user takes "c" out again
        QCOMPARE(selectedRows(*rows), (std::vector<int>{0, 2}));
        QCOMPARE(view->currentIndex().row(), 1);
        clickHeader(CellName);
        QCOMPARE(selectedRows(*rows), (std::vector<int>{1, 3}));
        QCOMPARE(shownSelection(), (std::vector<int>{1, 3}));
        QCOMPARE(view->currentIndex().row(), 2); // "c"
    }

    void anAccountKeepsItsRowsSelectionAndNewRowsHaveNone()
    {
        fill({"a", "b", "c"});
        rows->setSelected(1, true);
        QCOMPARE(shownSelection(), (std::vector<int>{1}));
        account(1, "Administrator", {"Administrators", "Users"});
        QCOMPARE(view->model()->index(1, CellGroups).data().toString(), QString("Administrators, Users"));
        QCOMPARE(view->model()->index(1, CellEnabled).data().toString(), QString("Yes"));
        QCOMPARE(selectedRows(*rows), (std::vector<int>{1}));
        QCOMPARE(shownSelection(), (std::vector<int>{1}));
        fill({"x", "y"});
        QCOMPARE(column(CellName), (std::vector<std::string>{"x", "y"}));
        QVERIFY(selectedRows(*rows).empty());
        QVERIFY(shownSelection().empty());
        rows->setRows({});
        QVERIFY(!view->selectionModel()->hasSelection());
    }

    void selectAllIsOneSelection()
    {
        fill({"a", "b", "c", "d"});
        rows->setSelected(2, true);
        rows->selectAll();
        QCOMPARE(selectedRows(*rows), (std::vector<int>{0, 1, 2, 3}));
        QCOMPARE(shownSelection(), (std::vector<int>{0, 1, 2, 3}));
        QCOMPARE(view->selectionModel()->selection().size(), 1);
    }

    void listsOfNoneOrOneRow()
    {
        QVERIFY(!sortByColumn(*rows, CellName, true));
        clickHeader(CellName);
        QCOMPARE(rows->rowCount(), 0);
        fill({"only"});
        rows->setSelected(0, true);
        QVERIFY(!sortByColumn(*rows, CellName, true));
        clickHeader(CellName);
        clickHeader(CellName);
        QCOMPARE(column(CellName), std::vector<std::string>{"only"});
        QVERIFY(rows->isSelected(0));
        QVERIFY(!sortByColumn(*rows, 6, true)); // no such column
    }

    void rowsEqualButForCaseAreNeverSwapped()
    {
        fill({"pc1", "PC1", "Pc1"});
        const std::vector<std::string> types{"pc1-type", "PC1-type", "Pc1-type"};
        clickHeader(CellName);
        QCOMPARE(column(CellType), types);
        clickHeader(CellName);
        QCOMPARE(column(CellType), types);
    }

    void draggingAHeaderChangesOnlyTheDisplay()
    {
        fill({"b", "a"});
        account(0, "u", {"Users"});
        account(1, "u", {"Administrators"});
        QHeaderView* header = view->horizontalHeader();
        // Drag the "Groups" heading to the front with the mouse.
        const int y = header->height() / 2;
        const QPoint from(header->sectionViewportPosition(CellGroups) + 10, y);
        QTest::mousePress(header->viewport(), Qt::LeftButton, {}, from);
        for (int x = from.x() - 20; x > 0; x -= 20)
            QTest::mouseMove(header->viewport(), QPoint(x, y));
        QTest::mouseMove(header->viewport(), QPoint(2, y));
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(2, y));
        QCOMPARE(header->visualIndex(CellGroups), 0);
        QCOMPARE(column(CellName), (std::vector<std::string>{"b", "a"})); // the drag sorted nothing
        QCOMPARE(rows->cellText(0, CellGroups), std::string("Users"));
        QCOMPARE(rows->cellText(0, CellName), std::string("b"));
        QCOMPARE(view->model()->index(0, CellGroups).data().toString(), QString("Users"));

        // A click on the moved heading sorts by its own column.
        clickHeader(CellGroups);
        QCOMPARE(column(CellGroups), (std::vector<std::string>{"Administrators", "Users"}));
        QCOMPARE(list->sorter().sortColumn(), int(CellGroups));
    }
};

} // namespace rm

QTEST_MAIN(rm::SortableListTest)
#include "SortableListTest.moc"
