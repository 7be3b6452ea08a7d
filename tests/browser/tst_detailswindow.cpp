#include "browser/detailswindow.h"
#include "platform/canvas.h"
#include "platform/drawer.h"
#include "platform/elidedstatictext.h"
#include "platform/sound.h"
#include "platform/system.h"
#include "shell/globals.h"
#include "shell/resources.h"
#include "support/testenv.h"

#include <QAction>
#include <QClipboard>
#include <QEnterEvent>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextDocument>
#include <QToolTip>

using namespace Starwick;

namespace {

const QString kLink = QStringLiteral("http://www.star.ucl.ac.uk/~apod/apod/ap230211.html");
const QString kOneMoment = QStringLiteral("One moment, please...");

// What a tooltip shows: its text, read as rich text when it looks like markup, as tooltips do.
QString shownToolTip(const QString& tip)
{
    if (!Qt::mightBeRichText(tip))
        return tip;
    QTextDocument document;
    document.setHtml(tip);
    return document.toPlainText();
}

QAction* row(QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

} // namespace

class TestDetailsWindow : public QObject
{
    Q_OBJECT

private:
    DetailsWindow* m_window = nullptr;
    std::vector<QUrl> m_opened;

private slots:
    void initTestCase()
    {
        platform::setUrlOpenerForTesting([this](const QUrl& url) { m_opened.push_back(url); });
    }

    void init()
    {
        Globals::ResetForTesting();
        m_opened.clear();
        m_window = DetailsWindow::instance();
    }

    void cleanup()
    {
        platform::closeDrawer(m_window);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void windowIsMadeHidden()
    {
        QVERIFY(!m_window->isVisible());
        QCOMPARE(DetailsWindow::instance(), m_window);
        QCOMPARE(m_window->Title(), QStringLiteral("Untitled"));
        QCOMPARE(m_window->Width(), 274);
        QCOMPARE(m_window->Height(), 473);
        QCOMPARE(m_window->minimumSize(), QSize(274, 473));
        QCOMPARE(m_window->maximumSize(), QSize(274, 32000));
    }

    void layout_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("wraps");
        QTest::newRow("StaticText1") << "StaticText1" << QRect(16, 7, 250, 20) << "Credit:" << true << false;
        QTest::newRow("CreditField") << "CreditField" << QRect(16, 24, 250, 37) << kOneMoment << false << true;
        QTest::newRow("StaticText3") << "StaticText3" << QRect(16, 107, 250, 20) << "Explanation:" << true << false;
        QTest::newRow("StaticText5") << "StaticText5" << QRect(16, 57, 250, 20) << "Link:" << true << false;
        QTest::newRow("LinkField") << "LinkField" << QRect(16, 73, 250, 20) << QString() << false << false;
    }

    void layout()
    {
        QFETCH(QString, name);
        QFETCH(QRect, rect);
        QFETCH(QString, text);
        QFETCH(bool, bold);
        QFETCH(bool, wraps);
        auto* label = m_window->findChild<QLabel*>(name);
        QVERIFY(label);
        QCOMPARE(label->geometry(), rect);
        QCOMPARE(label->text(), text);
        QCOMPARE(label->font().bold(), bold);
        // 10 points on the main window's 13-point scale.
        QCOMPARE(label->font().pointSizeF(), platform::SystemFont(10).pointSizeF());
        QCOMPARE(label->wordWrap(), wraps);
        QCOMPARE(label->textFormat(), Qt::PlainText); // page texts are never taken for markup
    }

    void explanationAndLinkArea()
    {
        QCOMPARE(m_window->explanationArea()->geometry(), QRect(16, 126, 250, 315));
        QCOMPARE(m_window->explanationArea()->widget(), m_window->ExplanationField);
        QCOMPARE(m_window->ExplanationField->text(), kOneMoment);
        QVERIFY(m_window->ExplanationField->wordWrap());

        QVERIFY(m_window->LinkField->font().underline());
        QCOMPARE(m_window->LinkField->palette().color(QPalette::WindowText), QColor(0, 0, 255));

        // The clickable area lies over the link, in window coordinates 20, 76, 240 x 14.
        QCOMPARE(m_window->Canvas1->parentWidget(), m_window->LinkField);
        QCOMPARE(QRect(m_window->Canvas1->mapTo(m_window->content(), QPoint(0, 0)), m_window->Canvas1->size()),
                 QRect(20, 76, 240, 14));
        QCOMPARE(m_window->Canvas1->focusPolicy(), Qt::NoFocus);

        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QCoreApplication::sendEvent(m_window->Canvas1, &enter);
        QVERIFY(m_window->Canvas1->testAttribute(Qt::WA_SetCursor));

        const QList<QAction*> rows = m_window->ContextualMenu1->actions();
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows.at(0)->text(), QStringLiteral("Open Link in Browser"));
        QCOMPARE(rows.at(1)->text(), QStringLiteral("Copy Link to Clipboard"));
    }

    // A credit of three lines or more takes the height it needs; the link and the explanation move
    // down below it, the explanation's box keeping its bottom edge.
    void creditShowsWhole_data()
    {
        QTest::addColumn<QString>("credit");
        QTest::addColumn<bool>("moves");
        QTest::newRow("one line keeps the layout's places") << "Dana Vireo" << false;
        QTest::newRow("several sources, processing and music")
            << "Cerro Ejemplo Observatory, Mauna Muestra Observatory, Southern Sample Array; Processing: Mira "
               "Tanaka-Oyelaran and Jonas Whitfield-Amadi; Music: Night Drift by Halcyon Sample Ensemble"
            << true;
    }
    void creditShowsWhole()
    {
        QFETCH(QString, credit);
        QFETCH(bool, moves);
        m_window->showTexts(credit, kLink, QStringLiteral("An explanation."));
        QLabel* field = m_window->CreditField;
        QCOMPARE(field->text(), credit);
        QVERIFY(field->height() >= field->heightForWidth(field->width()));
        // Its lines end above the "Link:" label (the layout's boxes overlap by a few pixels).
        QVERIFY(field->y() + field->heightForWidth(field->width()) <= m_window->StaticText5->y());
        QVERIFY(m_window->LinkField->y() >= m_window->StaticText5->geometry().bottom() - 4);
        QVERIFY(m_window->StaticText3->y() > m_window->LinkField->geometry().bottom());
        QVERIFY(m_window->explanationArea()->y() > m_window->StaticText3->y());
        QCOMPARE(m_window->explanationArea()->geometry().bottom(), QRect(16, 126, 250, 315).bottom());
        QCOMPARE(m_window->StaticText5->y() > 57, moves);
        if (!moves)
            QCOMPARE(field->geometry(), QRect(16, 24, 250, 37));
        // The clickable area stays over the link.
        QCOMPARE(m_window->Canvas1->mapTo(m_window->content(), QPoint(0, 0)),
                 m_window->LinkField->pos() + QPoint(4, 3));
    }

    // Texts from the pages show on hover as they stand, markup and all.
    void hoverTextsAreNeverMarkup()
    {
        const QString link = QStringLiteral("http://apod.example.edu/<b>bold</b>/<i>picture-of-the-day</i>/apod/"
                                            "ap200616.html?a=1&amp;b=<img src=x>");
        QStringList sources;
        for (int i = 0; i < 40; ++i)
            sources.append(QStringLiteral("<b>Observatory %1</b> &amp; <i>Array</i>").arg(i));
        const QString credit = sources.join(QStringLiteral("; "));
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        m_window->showTexts(credit, link, QStringLiteral("An explanation."));

        QVERIFY(!m_window->CreditField->toolTip().isEmpty());
        QCOMPARE(shownToolTip(m_window->CreditField->toolTip()), credit);
        QHelpEvent hover(QEvent::ToolTip, QPoint(10, 5), m_window->Canvas1->mapToGlobal(QPoint(10, 5)));
        QCoreApplication::sendEvent(m_window->Canvas1, &hover);
        QTRY_COMPARE(shownToolTip(QToolTip::text()), link);
        QToolTip::hideText();
    }

    // A link wider than its field is drawn cut in the middle, so that the day's page still shows;
    // the whole address shows on hover, and opening and copying use it.
    void longLinkIsCutInTheMiddle()
    {
        const QString link = QStringLiteral("http://apod.observatory-mirror.example.edu/astronomy/picture-of-the-day/"
                                            "apod/ap200616.html");
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        m_window->showTexts(QStringLiteral("A. Credit"), link, QStringLiteral("An explanation."));
        auto* field = qobject_cast<platform::ElidedStaticText*>(m_window->LinkField);
        QVERIFY(field);
        QCOMPARE(field->text(), link);
        QVERIFY(field->isElided());
        QVERIFY(field->shownText().startsWith(QStringLiteral("http://apod.")));
        QVERIFY(field->shownText().endsWith(QStringLiteral("ap200616.html")));
        QVERIFY(field->fontMetrics().horizontalAdvance(field->shownText()) <= field->width());

        // The pointer rests on the clickable area over the link; the link answers.
        QHelpEvent hover(QEvent::ToolTip, QPoint(10, 5), m_window->Canvas1->mapToGlobal(QPoint(10, 5)));
        QCoreApplication::sendEvent(m_window->Canvas1, &hover);
        QTRY_COMPARE(shownToolTip(QToolTip::text()), link);

        row(m_window->ContextualMenu1, QStringLiteral("Copy Link to Clipboard"))->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), link);
        QTest::mouseClick(m_window->Canvas1, Qt::LeftButton);
        QCOMPARE(m_opened.size(), size_t(1));
        QCOMPARE(m_opened.front(), QUrl(link));

        // A link that fits is drawn whole and has nothing more to show on hover.
        QToolTip::hideText();
        m_window->showTexts(QStringLiteral("A. Credit"), kLink, QStringLiteral("An explanation."));
        QVERIFY(!field->isElided());
        QCOMPARE(field->shownText(), kLink);
    }

    void longExplanationScrolls()
    {
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        QString text;
        for (int i = 0; i < 120; ++i)
            text += QStringLiteral("The explanation of a day runs to many sentences. ");
        m_window->ExplanationField->setText(text);
        QTRY_VERIFY(m_window->explanationArea()->verticalScrollBar()->maximum() > 0);
        // It wraps within the box: no sideways scrolling.
        QVERIFY(m_window->ExplanationField->width() <= m_window->explanationArea()->viewport()->width());
    }

    void clickOpensTheLink_data()
    {
        QTest::addColumn<bool>("sounds");
        QTest::newRow("sounds off: silent") << false;
        QTest::newRow("sounds on: Strum first") << true;
    }

    void clickOpensTheLink()
    {
        QFETCH(bool, sounds);
        Globals::UseSounds = sounds;
        m_window->show();
        m_window->LinkField->setText(kLink);
        const int strums = Strum()->playCount();
        QTest::mouseClick(m_window->Canvas1, Qt::LeftButton);
        QCOMPARE(m_opened.size(), size_t(1));
        QCOMPARE(m_opened.front(), QUrl(kLink));
        QCOMPARE(Strum()->playCount(), strums + (sounds ? 1 : 0));
        QVERIFY(!m_window->ContextualMenu1->isVisible());
    }

    void emptyLinkOpensNothing()
    {
        m_window->show();
        QTest::mouseClick(m_window->Canvas1, Qt::LeftButton);
        QVERIFY(m_opened.empty());
    }

    void contextualClickPopsUpTheMenu_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::newRow("right button") << Qt::RightButton << Qt::KeyboardModifiers();
        QTest::newRow("Ctrl+click") << Qt::LeftButton << Qt::KeyboardModifiers(Qt::ControlModifier);
    }

    void contextualClickPopsUpTheMenu()
    {
        QFETCH(Qt::MouseButton, button);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        Globals::UseSounds = true;
        m_window->show();
        m_window->LinkField->setText(kLink);
        const int strums = Strum()->playCount();
        QTest::mousePress(m_window->Canvas1, button, modifiers);
        QVERIFY(m_window->ContextualMenu1->isVisible());
        QVERIFY(m_opened.empty());
        QCOMPARE(Strum()->playCount(), strums);
        m_window->ContextualMenu1->hide();
    }

    void contextualRows()
    {
        Globals::UseSounds = true;
        m_window->LinkField->setText(kLink);
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        const int strums = Strum()->playCount();

        row(m_window->ContextualMenu1, QStringLiteral("Copy Link to Clipboard"))->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), kLink);
        QVERIFY(m_opened.empty());

        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        m_window->ContextualMenu1_Action(QStringLiteral("Some other row"));
        m_window->ContextualMenu1_Action(QStringLiteral("open link in browser")); // rows match exactly
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
        QVERIFY(m_opened.empty());

        row(m_window->ContextualMenu1, QStringLiteral("Open Link in Browser"))->trigger();
        QCOMPARE(m_opened.size(), size_t(1));
        QCOMPARE(m_opened.front(), QUrl(kLink));
        QCOMPARE(Strum()->playCount(), strums); // never with a sound
    }

    void closingDiscardsTheTexts()
    {
        m_window->CreditField->setText(QStringLiteral("A. Credit"));
        m_window->ExplanationField->setText(QStringLiteral("An explanation."));
        m_window->LinkField->setText(kLink);
        QPointer<DetailsWindow> old = m_window;
        platform::closeDrawer(m_window);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!old);

        m_window = DetailsWindow::instance();
        QVERIFY(!m_window->isVisible());
        QCOMPARE(m_window->CreditField->text(), kOneMoment);
        QCOMPARE(m_window->ExplanationField->text(), kOneMoment);
        QCOMPARE(m_window->LinkField->text(), QString());
        QCOMPARE(m_window->ContextualMenu1->actions().size(), 2);
    }
};

STARWICK_TEST_MAIN(TestDetailsWindow)
#include "tst_detailswindow.moc"
