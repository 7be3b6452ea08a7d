#include "platform/blowfish.h"

#include <gcrypt.h>

namespace Starwick::platform {

namespace {

// libgcrypt wants its version check before any other call, once per process. Another library
// in the process may have finished the initialisation already; then it is left as it is.
bool initialiseGcrypt()
{
    static const bool ready = [] {
        if (!gcry_check_version(GCRYPT_VERSION))
            return false;
        if (!gcry_control(GCRYCTL_INITIALIZATION_FINISHED_P)) {
            // No secrets are kept in these cipher objects; plain memory avoids the warnings that
            // secure memory prints when it cannot lock pages.
            gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
            gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
        }
        return true;
    }();
    return ready;
}

} // namespace

BlowfishECB::BlowfishECB(const QByteArray& key)
{
    if (!initialiseGcrypt() || key.isEmpty())
        return;
    gcry_cipher_hd_t handle = nullptr;
    if (gcry_cipher_open(&handle, GCRY_CIPHER_BLOWFISH, GCRY_CIPHER_MODE_ECB, 0) != 0)
        return;
    // Keys that give repeated S-box entries are weak, but they are still keys of the stored
    // format and must decipher what they enciphered.
    gcry_cipher_ctl(handle, GCRYCTL_SET_ALLOW_WEAK_KEY, nullptr, 1);
    if (gcry_cipher_setkey(handle, key.constData(), static_cast<size_t>(key.size())) != 0) {
        gcry_cipher_close(handle);
        return;
    }
    m_handle = handle;
}

BlowfishECB::~BlowfishECB()
{
    if (m_handle)
        gcry_cipher_close(m_handle);
}

QByteArray BlowfishECB::transform(const QByteArray& blocks, bool encipher) const
{
    if (!m_handle || blocks.isEmpty())
        return {};
    QByteArray out(blocks.size(), Qt::Uninitialized);
    auto* dst = reinterpret_cast<unsigned char*>(out.data());
    const auto* src = reinterpret_cast<const unsigned char*>(blocks.constData());
    const auto size = static_cast<size_t>(blocks.size());
    const gcry_error_t result = encipher ? gcry_cipher_encrypt(m_handle, dst, size, src, size)
                                         : gcry_cipher_decrypt(m_handle, dst, size, src, size);
    return result == 0 ? out : QByteArray();
}

QByteArray BlowfishECB::Encrypt(const QByteArray& data)
{
    if (!m_handle)
        return {};
    m_pending += data;
    const qsizetype whole = m_pending.size() - m_pending.size() % BlockSize;
    const QByteArray out = transform(m_pending.first(whole), true);
    m_pending.remove(0, whole);
    return out;
}

QByteArray BlowfishECB::FinishEncrypt()
{
    if (!m_handle)
        return {};
    const auto padding = static_cast<char>(BlockSize - m_pending.size() % BlockSize);
    QByteArray block = m_pending + QByteArray(padding, padding);
    m_pending.clear();
    return transform(block, true);
}

QByteArray BlowfishECB::Decrypt(const QByteArray& data)
{
    if (!m_handle)
        return {};
    m_pending += data;
    // Keep at least one whole block (the one with the padding) until FinishDecrypt.
    qsizetype ready = m_pending.size() - m_pending.size() % BlockSize;
    if (ready == m_pending.size())
        ready -= BlockSize;
    if (ready <= 0)
        return {};
    const QByteArray out = transform(m_pending.first(ready), false);
    m_pending.remove(0, ready);
    return out;
}

QByteArray BlowfishECB::FinishDecrypt(FinishStatus* status)
{
    auto report = [status](FinishStatus value) {
        if (status)
            *status = value;
    };
    const QByteArray rest = m_pending;
    m_pending.clear();
    if (!m_handle) {
        report(FinishStatus::InvalidKey);
        return {};
    }
    if (rest.isEmpty()) {
        report(FinishStatus::Complete);
        return {};
    }
    if (rest.size() % BlockSize != 0) {
        report(FinishStatus::NotWholeBlocks);
        return {};
    }
    QByteArray plain = transform(rest, false);
    const auto last = static_cast<unsigned char>(plain.back());
    if (last >= 1 && last <= BlockSize) {
        const QByteArray expected(last, static_cast<char>(last));
        if (plain.endsWith(expected)) {
            plain.chop(last);
            report(FinishStatus::Complete);
            return plain;
        }
    } else if (last == 0) {
        // Zero padding: at most one block of zero bytes ends the data.
        qsizetype keep = plain.size();
        while (keep > 0 && plain.size() - keep < BlockSize && plain.at(keep - 1) == '\0')
            --keep;
        plain.truncate(keep);
        report(FinishStatus::Complete);
        return plain;
    }
    report(FinishStatus::BadPadding);
    return plain;
}

void BlowfishECB::Reset()
{
    m_pending.clear();
}

} // namespace Starwick::platform
