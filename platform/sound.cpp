#include "platform/sound.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace Starwick::platform {

Sound::Sound(QString resourcePath)
    : m_path(std::move(resourcePath))
{}

Sound::~Sound() = default;

void Sound::Play()
{
    ++m_playCount;
    // Without an application there is no event loop to play in; without an output device there
    // is nothing to play on. Either way the sound stays silent and nothing is reported.
    if (!QCoreApplication::instance() || QMediaDevices::audioOutputs().isEmpty())
        return;
    if (!m_effect) {
        // The effect loads its sample on a thread of its own, so Play() never waits for it: a
        // sound asked for while loading starts as soon as it is ready.
        m_effect = std::make_unique<QSoundEffect>();
        m_effect->setSource(m_path.startsWith(QLatin1Char(':')) ? QUrl(QStringLiteral("qrc") + m_path)
                                                                : QUrl::fromLocalFile(m_path));
    }
    m_effect->play();
}

} // namespace Starwick::platform
