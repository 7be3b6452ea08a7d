#include "platform/base64.h"
#include "platform/blowfish.h"
#include "support/testenv.h"

using Starwick::platform::Base64Decode;
using Starwick::platform::Base64Encode;
using Starwick::platform::BlowfishECB;
using Status = BlowfishECB::FinishStatus;

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

/// Enciphers `plain` whole and returns the bytes with their padding block.
QByteArray encipher(BlowfishECB& cipher, const QByteArray& plain)
{
    QByteArray out = cipher.Encrypt(plain);
    out += cipher.FinishEncrypt();
    return out;
}

QByteArray encipher(const QByteArray& key, const QByteArray& plain)
{
    BlowfishECB cipher(key);
    return encipher(cipher, plain);
}

/// Deciphers `data` whole: Decrypt, then FinishDecrypt.
QByteArray decipher(BlowfishECB& cipher, const QByteArray& data, Status* status)
{
    QByteArray out = cipher.Decrypt(data);
    out += cipher.FinishDecrypt(status);
    return out;
}

} // namespace

class TestBlowfish : public QObject
{
    Q_OBJECT

private slots:
    void publishedVectors_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QByteArray>("cipher");

        // Eric Young's Blowfish test vectors (ECB data and the set_key data of variable key
        // length), published with the Blowfish reference material at
        // https://www.schneier.com/wp-content/uploads/2015/12/vectors-2.txt
        const char* ecb[][3] = {
            {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
            {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
            {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
            {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
            {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
            {"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
            {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
            {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
            {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
            {"0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
            {"07A1133E4A0B2686", "0248D43806F67172", "1730E5778BEA1DA4"},
            {"3849674C2602319E", "51454B582DDF440A", "A25E7856CF2651EB"},
            {"04B915BA43FEB5B6", "42FD443059577FA2", "353882B109CE8F1A"},
            {"0113B970FD34F2CE", "059B5E0851CF143A", "48F4D0884C379918"},
            {"0170F175468FB5E6", "0756D8E0774761D2", "432193B78951FC98"},
            {"43297FAD38E373FE", "762514B829BF486A", "13F04154D69D1AE5"},
            {"07A7137045DA2A16", "3BDD119049372802", "2EEDDA93FFD39C79"},
            {"04689104C2FD3B2F", "26955F6835AF609A", "D887E0393C2DA6E3"},
            {"37D06BB516CB7546", "164D5E404F275232", "5F99D04F5B163969"},
            {"1F08260D1AC2465E", "6B056E18759F5CCA", "4A057A3B24D3977B"},
            {"584023641ABA6176", "004BD6EF09176062", "452031C1E4FADA8E"},
            {"025816164629B007", "480D39006EE762F2", "7555AE39F59B87BD"},
            {"49793EBC79B3258F", "437540C8698F3CFA", "53C55F9CB49FC019"},
            {"4FB05E1515AB73A7", "072D43A077075292", "7A8E7BFA937E89A3"},
            {"49E95D6D4CA229BF", "02FE55778117F12A", "CF9C5D7A4986ADB5"},
            {"018310DC409B26D6", "1D9D5C5018F728C2", "D1ABB290658BC778"},
            {"1C587F1C13924FEF", "305532286D6F295A", "55CB3774D13EF201"},
            {"0101010101010101", "0123456789ABCDEF", "FA34EC4847B268B2"},
            {"1F1F1F1F0E0E0E0E", "0123456789ABCDEF", "A790795108EA3CAE"},
            {"E0FEE0FEF1FEF1FE", "0123456789ABCDEF", "C39E072D9FAC631D"},
            {"0000000000000000", "FFFFFFFFFFFFFFFF", "014933E0CDAFF6E4"},
            {"FFFFFFFFFFFFFFFF", "0000000000000000", "F21E9A77B71C49BC"},
            {"0123456789ABCDEF", "0000000000000000", "245946885754369A"},
            {"FEDCBA9876543210", "FFFFFFFFFFFFFFFF", "6B5C5A9C5D9E0A5A"},
        };
        int number = 0;
        for (const auto& row : ecb)
            QTest::addRow("ECB vector %d", ++number) << hex(row[0]) << hex(row[1]) << hex(row[2]);

        const QByteArray longKey = hex("F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677");
        const char* setKey[] = {
            "F9AD597C49DB005E", "E91D21C1D961A6D6", "E9C2B70A1BC65CF3", "BE1E639408640F05", "B39E44481BDB1E6E",
            "9457AA83B1928C0D", "8BB77032F960629D", "E87A244E2CC85E82", "15750E7A4F4EC577", "122BA70B3AB64AE0",
            "3A833C9AFFC537F6", "9409DA87A90F6BF2", "884F80625060B8B4", "1F85031C19E11968", "79D9373A714CA34F",
            "93142887EE3BE15C", "03429E838CE2D14B", "A4299E27469FF67B", "AFD5AED1C1BC96A8", "10851C0E3858DA9F",
            "E6F51ED79B9DB21F", "64A6E14AFD36B46F", "80C7D7D45A5479AD", "05044B62FA52D080",
        };
        for (int length = 1; length <= 24; ++length) {
            QTest::addRow("key of %d bytes", length)
                << longKey.left(length) << hex("FEDCBA9876543210") << hex(setKey[length - 1]);
        }
    }

    void publishedVectors()
    {
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, plain);
        QFETCH(QByteArray, cipher);

        BlowfishECB encoder(key);
        QVERIFY(encoder.isValid());
        QCOMPARE(encoder.Encrypt(plain).toHex(), cipher.toHex());
        const QByteArray padding = encoder.FinishEncrypt();
        QCOMPARE(padding.size(), BlowfishECB::BlockSize);

        BlowfishECB decoder(key);
        Status status = Status::BadPadding;
        QCOMPARE(decipher(decoder, cipher + padding, &status), plain);
        QCOMPARE(status, Status::Complete);
    }

    void piecesGiveTheWholeResult_data()
    {
        QTest::addColumn<int>("length");
        for (int length : {0, 1, 7, 8, 9, 15, 16, 17, 40})
            QTest::addRow("%d bytes", length) << length;
    }

    void piecesGiveTheWholeResult()
    {
        QFETCH(int, length);
        const QByteArray key("quietlanternmossfield");
        QByteArray plain;
        for (int i = 0; i < length; ++i)
            plain += static_cast<char>('a' + i % 26);
        const QByteArray whole = encipher(key, plain);
        // Padding always adds a block's remainder, a full block when the data fills its blocks.
        QCOMPARE(whole.size(), (length / BlowfishECB::BlockSize + 1) * BlowfishECB::BlockSize);

        BlowfishECB cipher(key);
        for (int cut = 0; cut <= length; ++cut) {
            QByteArray pieces = cipher.Encrypt(plain.left(cut));
            QCOMPARE(pieces.size() % BlowfishECB::BlockSize, 0);
            pieces += cipher.Encrypt(plain.mid(cut));
            pieces += cipher.FinishEncrypt();
            QCOMPARE(pieces, whole);
        }
        for (int cut = 0; cut <= whole.size(); ++cut) {
            Status status = Status::BadPadding;
            QByteArray back = cipher.Decrypt(whole.left(cut));
            back += cipher.Decrypt(whole.mid(cut));
            back += cipher.FinishDecrypt(&status);
            QCOMPARE(status, Status::Complete);
            QCOMPARE(back, plain);
        }
    }

    void damagedInput_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<Status>("status");

        const QByteArray key("quietlanternmossfield");
        auto blocks = [&](const QByteArray& plain) { return BlowfishECB(key).Encrypt(plain); };
        const QByteArray sound = encipher(key, "sixteen bytes!!!");

        QTest::newRow("nothing at all") << QByteArray() << QByteArray() << Status::Complete;
        QTest::newRow("one byte") << QByteArray("x") << QByteArray() << Status::NotWholeBlocks;
        // The blocks before the damage come out of Decrypt before it is known: only the status
        // tells the result from a sound one.
        QTest::newRow("a byte short") << sound.chopped(1) << QByteArray("sixteen bytes!!!") << Status::NotWholeBlocks;
        QTest::newRow("a byte over") << sound + 'x' << QByteArray("sixteen bytes!!!") + QByteArray(8, '\x08')
                                     << Status::NotWholeBlocks;
        QTest::newRow("count too large") << blocks("abcdefg\x09") << QByteArray("abcdefg\x09") << Status::BadPadding;
        QTest::newRow("mismatched bytes")
            << blocks("abcdef\x03\x02") << QByteArray("abcdef\x03\x02") << Status::BadPadding;
        QTest::newRow("text to the end") << blocks("abcdefgh") << QByteArray("abcdefgh") << Status::BadPadding;
        QTest::newRow("zero padding") << blocks(QByteArray("abc\0\0\0\0\0", 8)) << QByteArray("abc")
                                      << Status::Complete;
        QTest::newRow("a block of zeros")
            << blocks(QByteArray("abcdefgh") + QByteArray(8, '\0')) << QByteArray("abcdefgh") << Status::Complete;
    }

    void damagedInput()
    {
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, expected);
        QFETCH(Status, status);

        BlowfishECB cipher("quietlanternmossfield");
        Status found = Status::InvalidKey;
        QCOMPARE(decipher(cipher, data, &found), expected);
        QCOMPARE(found, status);
        // The object is ready for the next message.
        const QByteArray sound = encipher("quietlanternmossfield", "next");
        QCOMPARE(decipher(cipher, sound, &found), QByteArray("next"));
        QCOMPARE(found, Status::Complete);
    }

    void resetDropsAMessageUnderWay()
    {
        BlowfishECB cipher("key");
        const QByteArray sound = encipher("key", "kept");
        QVERIFY(cipher.Encrypt("half").isEmpty());
        cipher.Reset();
        QCOMPARE(encipher(cipher, "kept"), sound);
        cipher.Decrypt(sound.left(3));
        cipher.Reset();
        Status status = Status::InvalidKey;
        QCOMPARE(decipher(cipher, sound, &status), QByteArray("kept"));
        QCOMPARE(status, Status::Complete);
    }

    void refusedKeys_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("73 bytes") << QByteArray(73, 'k');
    }

    void refusedKeys()
    {
        QFETCH(QByteArray, key);
        BlowfishECB cipher(key);
        QVERIFY(!cipher.isValid());
        QVERIFY(cipher.Encrypt("sixteen bytes!!!").isEmpty());
        QVERIFY(cipher.FinishEncrypt().isEmpty());
        Status status = Status::Complete;
        QVERIFY(decipher(cipher, QByteArray(16, 'x'), &status).isEmpty());
        QCOMPARE(status, Status::InvalidKey);
    }

    void base64RoundTrip_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("text");

        // RFC 4648, section 10.
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("f") << QByteArray("f") << QStringLiteral("Zg==");
        QTest::newRow("fo") << QByteArray("fo") << QStringLiteral("Zm8=");
        QTest::newRow("foo") << QByteArray("foo") << QStringLiteral("Zm9v");
        QTest::newRow("foobar") << QByteArray("foobar") << QStringLiteral("Zm9vYmFy");
        QByteArray all;
        for (int i = 0; i < 256; ++i)
            all += static_cast<char>(i);
        QTest::newRow("every byte value, long") << all.repeated(8) << QString();
    }

    void base64RoundTrip()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, text);

        const QString encoded = Base64Encode(data);
        if (!text.isNull())
            QCOMPARE(encoded, text);
        QVERIFY(!encoded.contains(QLatin1Char('\n')));
        bool ok = false;
        QCOMPARE(Base64Decode(encoded, &ok), data);
        QVERIFY(ok);
    }

    void base64Rejection_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("space inside") << QStringLiteral("Zm9v YmFy");
        QTest::newRow("line break inside") << QStringLiteral("Zm9v\nYmFy");
        QTest::newRow("trailing line end") << QStringLiteral("Zm9vYmFy\r");
        QTest::newRow("cut short") << QStringLiteral("Zm9vYmF");
        QTest::newRow("padding missing") << QStringLiteral("Zm8");
        QTest::newRow("foreign character") << QStringLiteral("Zm9v!mFy");
        QTest::newRow("padding inside") << QStringLiteral("Zm=vYmFy");
        QTest::newRow("only padding") << QStringLiteral("====");
        QTest::newRow("non-ASCII") << QStringLiteral("Zm9vYmF\u00e9");
        QTest::newRow("URL alphabet") << QStringLiteral("-_-_");
    }

    void base64Rejection()
    {
        QFETCH(QString, text);
        bool ok = true;
        QVERIFY(Base64Decode(text, &ok).isEmpty());
        QVERIFY(!ok);
    }
};

STARWICK_TEST_MAIN(TestBlowfish)
#include "tst_blowfish.moc"
