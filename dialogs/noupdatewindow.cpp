#include "dialogs/noupdatewindow.h"

#include <QPushButton>

namespace Starwick {

NoUpdateWindow::NoUpdateWindow()
    : UpdateResultWindow(QStringLiteral("There is no new version of Starwick available."),
                         QStringLiteral("Your copy of Starwick is up to date! Be sure to check again at a later date "
                                        "to ensure you're always using the latest release."))
{
    setObjectName(QStringLiteral("NoUpdateWindow"));
    PushButton2 = addButton("PushButton2", QStringLiteral("OK"), QRect(399, 86, 72, 20));
    setDefaultButton(PushButton2);
    connect(PushButton2, &QPushButton::clicked, this, &NoUpdateWindow::PushButton2_Action);
    PushButton2->setFocus();
}

NoUpdateWindow::~NoUpdateWindow() = default;

NoUpdateWindow* NoUpdateWindow::instance()
{
    return platform::Instance<NoUpdateWindow>();
}

void NoUpdateWindow::PushButton2_Action()
{
    close();
}

} // namespace Starwick
