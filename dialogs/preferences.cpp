#include "dialogs/preferences.h"

#include "browser/mainwindow.h"
#include "platform/controls.h"
#include "platform/eventloop.h"
#include "platform/graphics.h"
#include "platform/picture.h"
#include "platform/statictext.h"
#include "platform/system.h"
#include "platform/toolbar.h"
#include "shell/globals.h"
#include "shell/resources.h"
#include "shell/settings.h"
#include "shell/smoothresize.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QStackedWidget>

#include <array>

namespace Starwick {

Q_LOGGING_CATEGORY(lcPreferences, "starwick.preferences")

namespace {

struct Page
{
    int height;
    const char* title;
};

constexpr std::array<Page, 3> kPages{{{137, "General"}, {54, "Files"}, {181, "Network"}}};

/// The pop-up's rows and the creator code each stands for.
struct FileType
{
    const char* row;
    const char* creator;
};

constexpr std::array<FileType, 4> kFileTypes{{
    {"GraphicConverter", "GKON"},
    {"ImageReady", "MeSa"},
    {"Photoshop", "8BIM"},
    {"Preview", "prvw"},
}};

/// Gives a toolbar item its icon: the mask picture drawn into the icon picture's mask, then the
/// icon set on the item. The pictures are shared for the run, so the mask is drawn each time.
void setMaskedImage(QAction* item, const platform::PictureRef& image, const platform::PictureRef& mask)
{
    if (!image)
        return;
    if (mask)
        image->Mask().graphics().DrawPicture(*mask, 0, 0);
    platform::Toolbar::SetImage(item, *image);
}

} // namespace

Preferences* Preferences::instance()
{
    return platform::Instance<Preferences>();
}

Preferences* Preferences::existing()
{
    return platform::ExistingInstance<Preferences>();
}

int Preferences::pageHeight(int page)
{
    return page >= 0 && page < int(kPages.size()) ? kPages.at(size_t(page)).height : kLayoutHeight;
}

Preferences::Preferences()
    : platform::Window(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                                    Qt::WindowMinimizeButtonHint)
{
    using platform::Lock;
    setObjectName(QStringLiteral("Preferences"));
    SetTitle(QStringLiteral("Preferences"));
    const QFont font = platform::SystemFont();

    Toolbar1 = new platform::Toolbar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    ToolbarItem1 = Toolbar1->AddItem("ToolbarItem1", QStringLiteral("General"));
    ToolbarItem2 = Toolbar1->AddItem("ToolbarItem2", QStringLiteral("Files"));
    ToolbarItem3 = Toolbar1->AddItem("ToolbarItem3", QStringLiteral("Network"));
    connect(ToolbarItem1, &QAction::triggered, this, &Preferences::ToolbarItem1_Action);
    connect(ToolbarItem2, &QAction::triggered, this, &Preferences::ToolbarItem2_Action);
    connect(ToolbarItem3, &QAction::triggered, this, &Preferences::ToolbarItem3_Action);
    addControlOpenHandler([this] { ToolbarItem1_Open(); });
    addControlOpenHandler([this] { ToolbarItem2_Open(); });
    addControlOpenHandler([this] { ToolbarItem3_Open(); });
    setToolbar(Toolbar1);
    setContentSize(kWidth, kLayoutHeight);

    PagePanel1 = add(platform::MakePagePanel(content(), "PagePanel1", 3), QRect(0, 0, 364, 181), Lock::None);
    QWidget* general = PagePanel1->widget(0);
    QWidget* files = PagePanel1->widget(1);
    QWidget* network = PagePanel1->widget(2);

    UpdateCheck =
        add(platform::MakeCheckBox(general, "UpdateCheck",
                                   QStringLiteral("Check for application updates at every launch"), font, false),
            QRect(20, 14, 319, 20), Lock::None);
    DelCacheCheck = add(platform::MakeCheckBox(general, "DelCacheCheck",
                                               QStringLiteral("Delete image cache at application quit"), font, false),
                        QRect(20, 36, 319, 20), Lock::None);
    UseSoundsCheck =
        add(platform::MakeCheckBox(general, "UseSoundsCheck", QStringLiteral("Use application sounds"), font, true),
            QRect(20, 58, 319, 20), Lock::None);
    WindowPosCheck =
        add(platform::MakeCheckBox(general, "WindowPosCheck", QStringLiteral("Remember window position"), font, false),
            QRect(20, 80, 319, 20), Lock::None);
    WindowSizeCheck =
        add(platform::MakeCheckBox(general, "WindowSizeCheck", QStringLiteral("Remember window size"), font, false),
            QRect(20, 102, 319, 20), Lock::None);

    StaticText5 = add(platform::MakeStaticText(files, "StaticText5", QStringLiteral("Saved image file type:"), font),
                      QRect(27, 14, 140, 20), Lock::None);
    StaticText5->setAlignment(Qt::AlignRight | Qt::AlignTop);
    QStringList rows;
    for (const FileType& type : kFileTypes)
        rows.append(QLatin1String(type.row));
    TypePopup = add(platform::MakePopupMenu(files, "TypePopup", rows, font), QRect(177, 14, 154, 20), Lock::None);

    UseProxyCheck =
        add(platform::MakeCheckBox(network, "UseProxyCheck",
                                   QStringLiteral("Connect to the internet through a proxy server"), font, false),
            QRect(20, 14, 319, 20), Lock::None);
    connect(UseProxyCheck, &QCheckBox::toggled, this, &Preferences::UseProxyCheck_Action);
    const auto label = [&](const char* name, const char* text, int top) {
        QLabel* made =
            add(platform::MakeStaticText(network, name, QLatin1String(text), font), QRect(35, top, 98, 20), Lock::None);
        made->setAlignment(Qt::AlignRight | Qt::AlignTop);
        return made;
    };
    StaticText1 = label("StaticText1", "Proxy address:", 50);
    StaticText2 = label("StaticText2", "Proxy port:", 80);
    StaticText3 = label("StaticText3", "User name:", 110);
    StaticText4 = label("StaticText4", "Password:", 140);
    pAddressField = add(platform::MakeEditField(network, "pAddressField", font), QRect(142, 49, 202, 22), Lock::None);
    pPortField = add(platform::MakeEditField(network, "pPortField", font), QRect(142, 79, 52, 22), Lock::None);
    pUsernameField =
        add(platform::MakeEditField(network, "pUsernameField", font), QRect(142, 109, 202, 22), Lock::None);
    pPasswordField = add(platform::MakeEditField(network, "pPasswordField", font, platform::EditFieldKind::Password),
                         QRect(142, 139, 202, 22), Lock::None);

    setUserResizable(false);
    centreOnScreen();
}

Preferences::~Preferences() = default;

void Preferences::ToolbarItem1_Open()
{
    setMaskedImage(ToolbarItem1, GeneralImage(), GeneralMask());
}

void Preferences::ToolbarItem2_Open()
{
    setMaskedImage(ToolbarItem2, TypesImage(), TypesMask());
}

void Preferences::ToolbarItem3_Open()
{
    setMaskedImage(ToolbarItem3, NetworkImage(), Networkmask());
}

bool Preferences::showPage(int page)
{
    Globals::SmoothResize(this, kWidth, pageHeight(page), 0);
    if (isClosed())
        return false;
    PagePanel1->setCurrentIndex(page);
    SetTitle(QLatin1String(kPages.at(size_t(page)).title));
    return true;
}

// The toolbar's handlers resize the window animated, handing control to the event loop, where
// the window may be closed: the scope keeps it in memory until the handler has returned.
void Preferences::ToolbarItem1_Action()
{
    const platform::LongLoopScope scope;
    showPage(0);
}

void Preferences::ToolbarItem2_Action()
{
    const platform::LongLoopScope scope;
    showPage(1);
}

void Preferences::ToolbarItem3_Action()
{
    const platform::LongLoopScope scope;
    if (showPage(2))
        UseProxyCheck->setFocus();
}

void Preferences::UseProxyCheck_Action()
{
    const bool on = UseProxyCheck->isChecked();
    for (QLineEdit* field : {pAddressField, pPortField, pUsernameField, pPasswordField})
        field->setEnabled(on);
    if (on)
        pAddressField->setFocus();
}

bool Preferences::KeyDown(const QString& key)
{
    if (platform::CommandKeyDown() && key.compare(QLatin1String("w"), Qt::CaseInsensitive) == 0)
        close();
    return false;
}

void Preferences::Open()
{
    SetTop(Top() + kOpenDrop);
    if (Globals::PanelValue >= 0 && Globals::PanelValue < int(kPages.size()))
        showPage(Globals::PanelValue);

    SettingsFileStatus status = SettingsFileStatus::Missing;
    QString error;
    const SettingsLines lines = ReadSettingsFile(&status, &error);
    if (status != SettingsFileStatus::Read) {
        // A file out of reach is treated as none. The controls show what this run uses, not
        // their layout values, which a close would otherwise put into Globals.
        if (status == SettingsFileStatus::Unreadable)
            qCWarning(lcPreferences, "The settings file could not be read: %s", qPrintable(error));
        loadFromGlobals();
        return;
    }

    Globals::pAddress = lines.value(SettingsLine::ProxyAddress);
    pAddressField->setText(Globals::pAddress);
    const QString port = lines.value(SettingsLine::ProxyPort);
    Globals::pPort = SettingInteger(port);
    pPortField->setText(port);
    Globals::pUserName = lines.value(SettingsLine::ProxyUserName);
    pUsernameField->setText(Globals::pUserName);
    Globals::pPassword = lines.value(SettingsLine::ProxyPassword);
    pPasswordField->setText(Globals::pPassword);
    Globals::FileTypeName = lines.value(SettingsLine::FileType);

    UpdateCheck->setChecked(lines.isOn(SettingsLine::CheckForUpdates));
    DelCacheCheck->setChecked(lines.isOn(SettingsLine::DeleteCache));
    UseSoundsCheck->setChecked(lines.isOn(SettingsLine::UseSounds));
    // A change of the value raises the box's Action: the proxy fields follow it.
    UseProxyCheck->setChecked(lines.isOn(SettingsLine::UseProxy));
    for (size_t row = 0; row < kFileTypes.size(); ++row) {
        if (Globals::FileTypeName == QLatin1String(kFileTypes.at(row).creator))
            TypePopup->setCurrentIndex(int(row));
    }
    WindowPosCheck->setChecked(lines.isOn(SettingsLine::RememberPosition));
    WindowSizeCheck->setChecked(lines.isOn(SettingsLine::RememberSize));
}

void Preferences::loadFromGlobals()
{
    DelCacheCheck->setChecked(Globals::DeleteCache);
    UseSoundsCheck->setChecked(Globals::UseSounds);
    pAddressField->setText(Globals::pAddress);
    pPortField->setText(Globals::pPort != 0 ? QString::number(Globals::pPort) : QString());
    pUsernameField->setText(Globals::pUserName);
    pPasswordField->setText(Globals::pPassword);
    UseProxyCheck->setChecked(Globals::UseProxy);
    for (size_t row = 0; row < kFileTypes.size(); ++row) {
        if (Globals::FileTypeName == QLatin1String(kFileTypes.at(row).creator))
            TypePopup->setCurrentIndex(int(row));
    }
    m_runCreator = Globals::FileTypeName;
    m_runCreatorRow = TypePopup->currentIndex();
}

void Preferences::reportSaveFailure(const QString& cause)
{
    platform::Beep();
    if (MainWindow* main = MainWindow::existing())
        main->StatsText->setText(tr("Preferences not saved: %1.").arg(cause));
}

void Preferences::Close()
{
    Globals::PanelValue = PagePanel1->currentIndex();

    // The values act for this run whether or not the file can take them.
    const bool checkForUpdates = UpdateCheck->isChecked();
    Globals::DeleteCache = DelCacheCheck->isChecked();
    Globals::UseSounds = UseSoundsCheck->isChecked();
    Globals::pAddress = pAddressField->text().trimmed();
    const QString port = pPortField->text().trimmed();
    Globals::pPort = SettingInteger(port);
    Globals::pUserName = pUsernameField->text().trimmed();
    Globals::pPassword = pPasswordField->text().trimmed();
    Globals::UseProxy = UseProxyCheck->isChecked();
    QString creator = QLatin1String(kFileTypes.front().creator);
    for (const FileType& type : kFileTypes) {
        if (TypePopup->currentText() == QLatin1String(type.row))
            creator = QLatin1String(type.creator);
    }
    // A run without a settings file may use no code or one outside the rows: it stays unless
    // the row was changed.
    if (m_runCreator && TypePopup->currentIndex() == m_runCreatorRow)
        creator = *m_runCreator;
    Globals::FileTypeName = creator;
    const bool rememberPosition = WindowPosCheck->isChecked();
    const bool rememberSize = WindowSizeCheck->isChecked();

    // The frame of the main window that exists (also one that is closing); none is made for it.
    const MainWindow* main = platform::CurrentInstance<MainWindow>();
    QString error;
    QString cause;
    const SettingsUpdate update = UpdateSettingsFile(
        [&](SettingsLines& lines) {
            lines.setOn(SettingsLine::CheckForUpdates, checkForUpdates);
            lines.setOn(SettingsLine::DeleteCache, Globals::DeleteCache);
            lines.setOn(SettingsLine::UseSounds, Globals::UseSounds);
            lines.setValue(SettingsLine::ProxyAddress, Globals::pAddress);
            lines.setValue(SettingsLine::ProxyPort, port);
            lines.setValue(SettingsLine::ProxyUserName, Globals::pUserName);
            lines.setValue(SettingsLine::ProxyPassword, Globals::pPassword);
            lines.setOn(SettingsLine::UseProxy, Globals::UseProxy);
            lines.setValue(SettingsLine::FileType, creator);
            lines.setOn(SettingsLine::RememberPosition, rememberPosition);
            lines.setOn(SettingsLine::RememberSize, rememberSize);
            if (main)
                lines.setFrame(main->Top(), main->Left(), main->Width(), main->Height());
        },
        &error, &cause);
    if (update == SettingsUpdate::Failed) {
        qCWarning(lcPreferences, "The preferences could not be stored in the settings file: %s", qPrintable(error));
        reportSaveFailure(cause);
    }
}

} // namespace Starwick
