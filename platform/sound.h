#pragma once

#include <QString>

#include <memory>

class QSoundEffect;

namespace Starwick::platform {

/// A short interface sound from the program's resources. Playing on a machine without audio
/// output does nothing and reports nothing.
class Sound
{
public:
    /// `resourcePath` is a Qt resource path such as ":/snd/168.wav".
    explicit Sound(QString resourcePath);
    ~Sound();
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    void Play();
    /// How many times Play() was called (tests read it: offscreen machines have no speaker).
    int playCount() const { return m_playCount; }
    QString resourcePath() const { return m_path; }

private:
    QString m_path;
    std::unique_ptr<QSoundEffect> m_effect;
    int m_playCount = 0;
};

using SoundRef = std::shared_ptr<Sound>;

} // namespace Starwick::platform
