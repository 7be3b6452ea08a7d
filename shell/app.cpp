#include "shell/app.h"

#include <QApplication>

namespace Starwick {

int RunStarwick(int argc, char* argv[])
{
    QApplication application(argc, argv);
    return application.exec();
}

} // namespace Starwick
