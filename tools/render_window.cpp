// Renders Starwick's main window offscreen to a PNG file, so that anyone can look at it without a
// display: render_window OUT.png [--picture FILE] [--title TEXT] [--status TEXT]
#include "browser/mainwindow.h"
#include "platform/picture.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLabel>
#include <QPixmap>

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Renders the main window to a PNG file."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("out"), QStringLiteral("The PNG file to write."));
    const QCommandLineOption picture(QStringLiteral("picture"), QStringLiteral("A picture to show."),
                                     QStringLiteral("file"));
    const QCommandLineOption title(QStringLiteral("title"), QStringLiteral("The title line."), QStringLiteral("text"));
    const QCommandLineOption status(QStringLiteral("status"), QStringLiteral("The status line."),
                                    QStringLiteral("text"));
    parser.addOptions({picture, title, status});
    parser.process(application);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);

    Starwick::MainWindow* window = Starwick::MainWindow::instance();
    if (parser.isSet(title))
        window->ImageName->setText(parser.value(title));
    if (parser.isSet(status))
        window->StatsText->setText(parser.value(status));
    if (parser.isSet(picture)) {
        QString error;
        window->p = Starwick::platform::Picture::Open(parser.value(picture), &error);
        if (!window->p) {
            qCritical("Cannot open %s: %s", qPrintable(parser.value(picture)), qPrintable(error));
            return 1;
        }
    }
    window->show();
    QApplication::processEvents();
    window->RedrawImage();
    QApplication::processEvents();
    const QString out = parser.positionalArguments().constFirst();
    if (!window->grab().save(out)) {
        qCritical("Cannot write %s", qPrintable(out));
        return 1;
    }
    return 0;
}
