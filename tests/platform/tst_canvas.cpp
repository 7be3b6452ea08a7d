#include "platform/canvas.h"
#include "support/testenv.h"

using namespace Starwick;

class TestCanvas : public QObject
{
    Q_OBJECT

private slots:
    void aResizedSurfaceIsClearedAndPaintedAnew()
    {
        platform::Canvas canvas;
        int paints = 0;
        // The paint handler fills a 20 x 20 square in the top left corner only.
        canvas.onPaint = [&paints](platform::Graphics& g) {
            ++paints;
            g.SetForeColor(Qt::blue);
            g.FillRect(0, 0, 20, 20);
        };
        canvas.resize(200, 120);
        canvas.show();
        QVERIFY(QTest::qWaitForWindowExposed(&canvas));
        {
            // Drawn outside the paint handler: red everywhere, which the surface keeps.
            platform::Graphics g = canvas.Graphics();
            g.SetForeColor(Qt::red);
            g.FillRect(0, 0, 200, 120);
        }
        QCOMPARE(canvas.grab().toImage().pixelColor(150, 100), QColor(Qt::red));

        // Smaller, then larger again, with a paint at every size, as during a resize: every new
        // surface starts clear, so nothing of the red from the larger one before comes back.
        for (const QSize& size : {QSize(80, 50), QSize(120, 90), QSize(260, 150), QSize(90, 60), QSize(240, 140)}) {
            canvas.resize(size);
            const QImage shown = canvas.grab().toImage();
            QCOMPARE(shown.size(), size);
            QCOMPARE(shown.pixelColor(5, 5), QColor(Qt::blue));
            const QColor elsewhere = shown.pixelColor(size.width() - 5, size.height() - 5);
            QVERIFY2(
                elsewhere != QColor(Qt::red) && elsewhere != QColor(Qt::blue),
                qPrintable(QStringLiteral("at %1x%2: %3").arg(size.width()).arg(size.height()).arg(elsewhere.name())));
        }
        QVERIFY(paints >= 5);
    }
};

STARWICK_TEST_MAIN(TestCanvas)
#include "tst_canvas.moc"
