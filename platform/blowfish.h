#pragma once

#include <QByteArray>

struct gcry_cipher_handle;

namespace Starwick::platform {

/// Blowfish (64-bit blocks) in ECB mode, keyed with the bytes of a key string, fed in pieces.
///
/// Padding is PKCS#7: FinishEncrypt always adds 1 to 8 bytes, each holding the count, so data
/// that is a whole number of blocks gains a full block of padding and every input comes back
/// exactly. FinishDecrypt removes PKCS#7 padding and also accepts a final block padded with zero
/// bytes, as another encoder of the same stored format writes them.
///
/// Damaged input never crashes: FinishDecrypt reports it through its status (see FinishStatus).
/// A key that the cipher refuses (empty, or longer than 72 bytes) leaves the object invalid:
/// isValid() is false, Encrypt and FinishEncrypt give empty data and FinishDecrypt reports
/// InvalidKey.
class BlowfishECB
{
public:
    static constexpr int BlockSize = 8;

    enum class FinishStatus
    {
        Complete,       ///< padding found and removed (or nothing to decipher at all)
        NotWholeBlocks, ///< the enciphered data was not a whole number of blocks; nothing returned
        BadPadding,     ///< the final block carries no recognisable padding; returned whole
        InvalidKey,     ///< the key was refused; nothing returned
    };

    explicit BlowfishECB(const QByteArray& key);
    ~BlowfishECB();
    BlowfishECB(const BlowfishECB&) = delete;
    BlowfishECB& operator=(const BlowfishECB&) = delete;

    bool isValid() const { return m_handle != nullptr; }

    /// Enciphers the whole blocks of what was buffered plus `data`; keeps a partial block back.
    QByteArray Encrypt(const QByteArray& data);
    /// The final, padded block. The object is then ready for a new message.
    QByteArray FinishEncrypt();

    /// Deciphers what it can of the buffered data plus `data`. The last whole block is held back
    /// until FinishDecrypt, because it carries the padding.
    QByteArray Decrypt(const QByteArray& data);
    /// The rest of the plaintext with the padding removed. The object is then ready for a new
    /// message. `status` tells whether the input was sound; only Complete means the plaintext is
    /// exactly what was enciphered.
    QByteArray FinishDecrypt(FinishStatus* status = nullptr);

    /// Drops any buffered data of a message under way.
    void Reset();

private:
    QByteArray transform(const QByteArray& blocks, bool encipher) const;

    gcry_cipher_handle* m_handle = nullptr;
    QByteArray m_pending;
};

} // namespace Starwick::platform
