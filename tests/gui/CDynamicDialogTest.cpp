#include "gui/GuiTestSupport.h"
#include "ui/CDynamicDialog.h"

#include <QSizeGrip>
#include <QTest>

namespace rm {

// The About box's template serves as a plain set of controls to lay out.
class LayoutDialog : public CDynamicDialog {
public:
    explicit LayoutDialog(int freedom) : CDynamicDialog(100, nullptr)
    {
        setUpLayout(freedom, ShowSizeGrip);
        addControl(1037, LayoutMode::Stretch, LayoutMode::Fixed);
        addControl(1038, LayoutMode::Half, LayoutMode::Move);
        addControl(1, LayoutMode::Move, LayoutMode::Move, 0, 0);
    }
    QRect at(int id) const { return item(id)->geometry(); }
};

class CDynamicDialogTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { prepareGuiTest(); }

    void controlsFollowTheirEdges()
    {
        LayoutDialog d(ResizeHorizontally | ResizeVertically);
        d.show();
        const QSize start = d.size();
        const QRect web = d.at(1037), mail = d.at(1038), ok = d.at(1);
        d.resize(start + QSize(100, 41));
        QCoreApplication::processEvents();
        QCOMPARE(d.at(1037), web.adjusted(0, 0, 100, 0));
        QCOMPARE(d.at(1038), mail.translated(50, 41));
        QCOMPARE(d.at(1), ok.translated(100, 41));
        d.resize(start + QSize(3, 0));
        QCoreApplication::processEvents();
        QCOMPARE(d.at(1038), mail.translated(1, 0)); // 150 / 100
        d.resize(start);
        QCoreApplication::processEvents();
        QCOMPARE(d.at(1), ok);
    }

    void minimumSizeAndFreedom()
    {
        LayoutDialog both(ResizeHorizontally | ResizeVertically);
        QCOMPARE(both.minimumSize(), both.size());
        QCOMPARE(both.maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
        LayoutDialog wide(ResizeHorizontally);
        QCOMPARE(wide.maximumHeight(), wide.height());
        QCOMPARE(wide.maximumWidth(), QWIDGETSIZE_MAX);
    }

    void gripFollowsTheCorner()
    {
        LayoutDialog d(ResizeHorizontally | ResizeVertically);
        d.show();
        auto* grip = d.findChild<QSizeGrip*>("59936");
        QVERIFY(grip);
        d.resize(d.size() + QSize(30, 20));
        QCoreApplication::processEvents();
        QCOMPARE(grip->geometry().bottomRight(), QPoint(d.width() - 1, d.height() - 1));
    }

    void minimisingLeavesTheLayoutAlone()
    {
        LayoutDialog d(ResizeHorizontally | ResizeVertically);
        d.show();
        d.resize(d.size() + QSize(40, 40));
        QCoreApplication::processEvents();
        const QRect ok = d.at(1);
        d.showMinimized();
        QCoreApplication::processEvents();
        d.showNormal();
        QCoreApplication::processEvents();
        QCOMPARE(d.at(1), ok);
    }

    void registeringAgainReplacesAndRepositionNowPlaces()
    {
        LayoutDialog d(ResizeHorizontally | ResizeVertically);
        d.show();
        const QRect web = d.at(1037);
        d.resize(d.size() + QSize(20, 0));
        QCoreApplication::processEvents();
        d.addControl(1037, LayoutMode::Fixed, LayoutMode::Fixed, 0, 0, true);
        QCOMPARE(d.at(1037), web.adjusted(0, 0, 20, 0)); // fixed from where it now is
        d.resize(d.size() + QSize(20, 0));
        QCoreApplication::processEvents();
        QCOMPARE(d.at(1037), web.adjusted(0, 0, 20, 0));
    }
};

} // namespace rm

QTEST_MAIN(rm::CDynamicDialogTest)
#include "CDynamicDialogTest.moc"
