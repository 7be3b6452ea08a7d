#include "browser/mainwindow.h"
#include "support/testenv.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>

using namespace Starwick;

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    static QRect placeOf(MainWindow* w, QWidget* control)
    {
        return QRect(control->mapTo(w->content(), QPoint(0, 0)), control->size());
    }

    static void fillControlRows()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QRect>("atCreation");
        QTest::addColumn<QRect>("grown"); // after the window grew by 200 x 100
        QTest::newRow("BGCanvas") << "BGCanvas" << QRect(21, 51, 498, 373) << QRect(21, 51, 698, 473);
        QTest::newRow("IW2") << "IW2" << QRect(510, 60, 10, 355) << QRect(710, 60, 10, 455);
        QTest::newRow("IW3") << "IW3" << QRect(30, 415, 480, 10) << QRect(30, 515, 680, 10);
        QTest::newRow("IW4") << "IW4" << QRect(20, 60, 10, 355) << QRect(20, 60, 10, 455);
        QTest::newRow("Canvas1 (child of BGCanvas)") << "Canvas1" << QRect(30, 60, 480, 355) << QRect(30, 60, 680, 455);
        QTest::newRow("ImageName") << "ImageName" << QRect(20, 20, 500, 20) << QRect(20, 20, 700, 20);
        QTest::newRow("Separator1") << "Separator1" << QRect(20, 482, 500, 4) << QRect(20, 582, 700, 4);
        QTest::newRow("ProgressBar1") << "ProgressBar1" << QRect(20, 513, 240, 12) << QRect(20, 613, 240, 12);
        QTest::newRow("StatsText") << "StatsText" << QRect(20, 494, 240, 20) << QRect(20, 594, 240, 20);
        QTest::newRow("SaveButton") << "SaveButton" << QRect(448, 505, 72, 20) << QRect(648, 605, 72, 20);
        QTest::newRow("SetButton") << "SetButton" << QRect(364, 505, 72, 20) << QRect(564, 605, 72, 20);
        QTest::newRow("IW1") << "IW1" << QRect(30, 50, 480, 10) << QRect(30, 50, 680, 10);
        QTest::newRow("IW4a") << "IW4a" << QRect(20, 50, 10, 10) << QRect(20, 50, 10, 10);
        QTest::newRow("IW1a") << "IW1a" << QRect(510, 50, 10, 10) << QRect(710, 50, 10, 10);
        QTest::newRow("IW2a") << "IW2a" << QRect(510, 415, 10, 10) << QRect(710, 515, 10, 10);
        QTest::newRow("IW3a") << "IW3a" << QRect(20, 415, 10, 10) << QRect(20, 515, 10, 10);
        // Previous and Next are re-centred on the window's middle, 12 pixels apart.
        QTest::newRow("PreviousButton") << "PreviousButton" << QRect(194, 444, 70, 24) << QRect(294, 544, 70, 24);
        QTest::newRow("NextButton") << "NextButton" << QRect(276, 444, 70, 24) << QRect(376, 544, 70, 24);
    }

    static QWidget* control(MainWindow* w, const QString& name)
    {
        if (name == QLatin1String("IW1"))
            return w->IW1;
        if (name == QLatin1String("IW2"))
            return w->IW2;
        if (name == QLatin1String("IW3"))
            return w->IW3;
        if (name == QLatin1String("IW4"))
            return w->IW4;
        if (name == QLatin1String("IW4a"))
            return w->IW4a;
        if (name == QLatin1String("IW1a"))
            return w->IW1a;
        if (name == QLatin1String("IW2a"))
            return w->IW2a;
        if (name == QLatin1String("IW3a"))
            return w->IW3a;
        return w->findChild<QWidget*>(name);
    }

private slots:
    void freshWindow()
    {
        MainWindow* w = MainWindow::instance();
        QCOMPARE(MainWindow::instance(), w);
        QCOMPARE(w->Title(), QStringLiteral("Starwick"));
        QCOMPARE(QSize(w->Width(), w->Height()), QSize(540, 545));
        QCOMPARE(w->ImageName->text(), QStringLiteral("Astronomy Picture of the Day"));
        QCOMPARE(w->StatsText->text(), QStringLiteral("Idle."));
        QCOMPARE(w->ProgressBar1->value(), 0);
        QCOMPARE(w->ProgressBar1->maximum(), 100);
        QVERIFY(!w->SaveButton->isEnabled());
        QVERIFY(!w->SetButton->isEnabled());
        QCOMPARE(w->defaultButton(), w->SaveButton);
        QCOMPARE(w->Timer1->Period(), 5000);
        QCOMPARE(w->Timer1->GetMode(), 1); // armed once by the window's opening
        QVERIFY(w->p == nullptr);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(qAbs(w->frameGeometry().center().x() - screen.center().x()) <= 1);
    }

    void layoutAtCreation_data() { fillControlRows(); }
    void layoutAtCreation()
    {
        QFETCH(QString, control);
        QFETCH(QRect, atCreation);
        MainWindow* w = MainWindow::instance();
        w->SetWidth(540);
        w->SetHeight(545);
        QCOMPARE(placeOf(w, TestMainWindow::control(w, control)), atCreation);
    }

    void layoutAfterResize_data() { fillControlRows(); }
    void layoutAfterResize()
    {
        QFETCH(QString, control);
        QFETCH(QRect, grown);
        MainWindow* w = MainWindow::instance();
        w->SetWidth(740);
        w->SetHeight(645);
        QCOMPARE(placeOf(w, TestMainWindow::control(w, control)), grown);
        w->SetWidth(540);
        w->SetHeight(545);
    }

    void cannotShrinkBelowCreationSize()
    {
        MainWindow* w = MainWindow::instance();
        w->SetWidth(300);
        w->SetHeight(200);
        QCOMPARE(QSize(w->Width(), w->Height()), QSize(540, 545));
    }

    void scalingRule_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("area");
        QTest::addColumn<double>("factor");
        QTest::addColumn<QRect>("drawn");
        QTest::newRow("wide picture larger than the area")
            << QSize(960, 802) << QSize(480, 355) << 0.5 << QRect(0, -23, 480, 401);
        QTest::newRow("small picture is enlarged")
            << QSize(160, 101) << QSize(480, 355) << 3.0 << QRect(0, 26, 480, 303);
        QTest::newRow("tall picture fits the height")
            << QSize(284, 710) << QSize(480, 355) << 0.5 << QRect(169, 0, 142, 355);
        QTest::newRow("square picture fits the height")
            << QSize(100, 100) << QSize(480, 355) << 3.55 << QRect(63, 0, 355, 355);
        QTest::newRow("square in a tall area overlaps the sides")
            << QSize(100, 100) << QSize(300, 600) << 6.0 << QRect(-150, 0, 600, 600);
    }
    void scalingRule()
    {
        QFETCH(QSize, picture);
        QFETCH(QSize, area);
        QFETCH(double, factor);
        QFETCH(QRect, drawn);
        const double fit = MainWindow::FitFactor(picture, area);
        QCOMPARE(fit, factor);
        QCOMPARE(MainWindow::DrawnRect(picture, fit, area), drawn);
    }

    void redrawFitsAndCentresThePicture()
    {
        MainWindow* w = MainWindow::instance();
        QImage red(160, 101, QImage::Format_RGB32);
        red.fill(Qt::red);
        w->p = std::make_shared<platform::Picture>(red);
        w->RedrawImage();
        QCOMPARE(w->factor, 3.0);
        const QImage shown = w->Canvas1->grab().toImage();
        QCOMPARE(QColor(shown.pixel(240, 177)), QColor(Qt::red));
        QCOMPARE(QColor(shown.pixel(240, 10)), MainWindow::areaGrey()); // above the drawn picture
        // A bigger window re-fits the picture once the resize has settled.
        w->SetWidth(640);
        QTRY_COMPARE(w->factor, 580.0 / 160.0);
        w->SetWidth(540);
        QTRY_COMPARE(w->factor, 3.0);
        w->p.reset();
    }

    void resizeWithoutPictureDrawsNothing()
    {
        MainWindow* w = MainWindow::instance();
        w->p.reset();
        w->factor = 0;
        w->SetWidth(600);
        QTest::qWait(platform::Window::kResizeSettleMs * 2);
        QCOMPARE(w->factor, 0.0);
        w->SetWidth(540);
    }
};

STARWICK_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
