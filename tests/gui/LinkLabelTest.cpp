#include "gui/GuiTestSupport.h"
#include "support/Doubles.h"
#include "gui/kit/LinkLabel.h"

#include <QTest>

namespace rm {

class LinkLabelTest : public QObject {
    Q_OBJECT

    ScriptedPrompter prompter;
    FakeShell shell;

    struct Window {
        QWidget widget;
        LinkLabel* link;
        explicit Window(const QString& caption)
        {
            widget.resize(300, 100);
            link = new LinkLabel(&widget);
            link->setText(caption);
            link->setGeometry(10, 10, 200, 20);
        }
    };

private slots:
    void initTestCase() { prepareGuiTest(); }
    void init()
    {
        prompter = {};
        shell = {};
    }

    void captionIsTheTargetWhenNoneWasSet()
    {
        Window w("https://example.org/a");
        w.link->attach(shell, prompter);
        QCOMPARE(w.link->target(), QString("https://example.org/a"));
        QCOMPARE(w.link->toolTip(), QString("https://example.org/a"));
        // Sized to its text, from the same top-left corner.
        QCOMPARE(w.link->geometry().topLeft(), QPoint(10, 10));
        const int advance = w.link->fontMetrics().horizontalAdvance(w.link->text());
        QVERIFY(w.link->width() >= advance && w.link->width() <= advance + 2);
    }

    void targetShownWhenTheCaptionIsEmpty()
    {
        Window w("");
        w.link->setTarget("mailto:x@example.org");
        w.link->attach(shell, prompter);
        QCOMPARE(w.link->text(), QString("mailto:x@example.org"));
    }

    void rightAlignedLinkKeepsItsRightEdge()
    {
        Window w("abc");
        w.link->setAlignment(Qt::AlignRight);
        w.link->attach(shell, prompter);
        QCOMPARE(w.link->geometry().right(), 209);
    }

    void noHandCursorOption()
    {
        Window w("x");
        w.link->setOptions(LinkDefaultOptions | LinkNoHandCursor);
        w.link->attach(shell, prompter);
        QCOMPARE(w.link->cursor().shape(), Qt::ArrowCursor);
    }

    void movingOffBeforeReleaseOpensNothing()
    {
        Window w("https://example.org/");
        w.link->attach(shell, prompter);
        w.widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.widget));
        const QPoint inside(2, 2);
        const QPoint outside(w.link->width() + 40, 2);

        QTest::mousePress(w.link, Qt::LeftButton, {}, inside);
        QTest::mouseMove(w.link, outside);
        QTest::mouseRelease(w.link, Qt::LeftButton, {}, outside);
        QVERIFY(shell.opened.empty());

        QTest::mousePress(w.link, Qt::LeftButton, {}, inside);
        QTest::mouseMove(w.link, outside);
        QTest::mouseMove(w.link, inside);
        QTest::mouseRelease(w.link, Qt::LeftButton, {}, inside);
        QCOMPARE(shell.opened.size(), std::size_t(1));
    }

    void spaceOpensAndRightButtonDoesNot()
    {
        Window w("https://example.org/");
        w.link->attach(shell, prompter);
        w.widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.widget));
        QTest::mouseClick(w.link, Qt::RightButton);
        QVERIFY(shell.opened.empty());
        w.link->setFocus();
        QTest::keyClick(w.link, Qt::Key_Space);
        QCOMPARE(shell.opened.size(), std::size_t(1));
        QTest::keyClick(w.link, Qt::Key_A);
        QCOMPARE(shell.opened.size(), std::size_t(1));
    }
};

} // namespace rm

QTEST_MAIN(rm::LinkLabelTest)
#include "LinkLabelTest.moc"
