#include "gui/GuiTestSupport.h"
#include "gui/dialogs/AboutDialogIds.h"
#include "gui/kit/DynamicDialog.h"

#include <QSizeGrip>
#include <QTest>

namespace rm {

// The About box's template serves as a plain set of controls to lay out.
class LayoutDialog : public DynamicDialog {
public:
    explicit LayoutDialog(int freedom) : DynamicDialog(IddAbout, nullptr)
    {
        setUpLayout(freedom, ShowSizeGrip);
        addControl(IdWebLink, LayoutMode::Stretch, LayoutMode::Fixed);
        addControl(IdMailLink, LayoutMode::Half, LayoutMode::Move);
        addControl(IdOk, LayoutMode::Move, LayoutMode::Move, 0, 0);
    }
    QRect at(int id) const { return item(id)->geometry(); }
};

class DynamicDialogTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { prepareGuiTest(); }

    void controlsFollowTheirEdges()
    {
        LayoutDialog d(ResizeHorizontally | ResizeVertically);
        d.show();
        const QSize start = d.size();
        const QRect web = d.at(IdWebLink), mail = d.at(IdMailLink), ok = d.at(IdOk);
        d.resize(start + QSize(100, 41));
        QCoreApplication::processEvents();
        QCOMPARE(d.at(IdWebLink), web.adjusted(0, 0, 100, 0));
        QCOMPARE(d.at(IdMailLink), mail.translated(50, 41));
        QCOMPARE(d.at(IdOk), ok.translated(100, 41));
        d.resize(start + QSize(3, 0));
        QCoreApplication::processEvents();
        QCOMPARE(d.at(IdMailLink), mail.translated(1, 0)); // 150 / 100
        d.resize(start);
        QCoreApplication::processEvents();
        QCOMPARE(d.at(IdOk), ok);
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
        const QSize grown = d.size() + QSize(40, 40);
        d.resize(grown);
        QCoreApplication::processEvents();
        const QRect ok = d.at(IdOk);
        d.showMinimized();
        QCoreApplication::processEvents();
        QVERIFY(d.isMinimized());
        // A size reported while minimised moves nothing.
        d.resize(d.minimumSize());
        QCoreApplication::processEvents();
        QCOMPARE(d.at(IdOk), ok);
        d.showNormal();
        d.resize(grown);
        QCoreApplication::processEvents();
        QCOMPARE(d.at(IdOk), ok);
    }

    void registeringAgainReplacesAndRepositionNowPlaces()
    {
        LayoutDialog d(ResizeHorizontally | ResizeVertically);
        d.show();
        const QRect web = d.at(IdWebLink), mail = d.at(IdMailLink);
        d.resize(d.size() + QSize(20, 0));
        QCoreApplication::processEvents();
        const QRect stretched = web.adjusted(0, 0, 20, 0), halfMoved = mail.translated(10, 0);
        QCOMPARE(d.at(IdWebLink), stretched);
        QCOMPARE(d.at(IdMailLink), halfMoved);

        // Registered again where they are now, as if the window had been built
        // at its first size: placed at once only when asked to.
        d.addControl(IdWebLink, LayoutMode::Move, LayoutMode::Fixed, 0, 0, true);
        QCOMPARE(d.at(IdWebLink), stretched.translated(20, 0));
        d.addControl(IdMailLink, LayoutMode::Move, LayoutMode::Fixed);
        QCOMPARE(d.at(IdMailLink), halfMoved);

        d.resize(d.size() + QSize(20, 0));
        QCoreApplication::processEvents();
        QCOMPARE(d.at(IdWebLink), stretched.translated(40, 0)); // moved, no longer stretched
        QCOMPARE(d.at(IdMailLink), halfMoved.translated(40, 0));
    }
};

} // namespace rm

QTEST_MAIN(rm::DynamicDialogTest)
#include "DynamicDialogTest.moc"
