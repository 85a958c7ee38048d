// Pictures: a part of a larger picture shows exactly where the whole would, and the pictures
// come at twice the pixels on screens with a device pixel ratio of 2.
#include <QImageReader>
#include <QPainter>
#include <QResource>
#include <QtTest>

#include "ui/controls/PictureBox.h"
#include "ui/controls/RawPicture.h"

using namespace qzr;

namespace {

const QSize WholeSize(1471, 878);
const QRect Part(335, 102, 800, 674);

// Every pixel different from its neighbours, so a shift by one shows.
QImage Pattern() {
    QImage image(WholeSize, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x % 251, y % 241, (x * 7 + y * 13) % 256));
    return image;
}

QImage Shown(TPictureBox& box, QSize size) {
    box.resize(size);
    return box.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class PictureBoxTest : public QObject {
    Q_OBJECT

private slots:
    void partShowsWhereTheWholeWould_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("pedal page") << QSize(792, 646);
        QTest::newRow("whole page control") << QSize(800, 674);
        QTest::newRow("odd sizes") << QSize(799, 673);
        QTest::newRow("smaller") << QSize(511, 300);
    }
    void partShowsWhereTheWholeWould() {
        QFETCH(QSize, size);
        const QImage whole = Pattern();
        TPictureBox wholeBox;
        wholeBox.SetPicture(whole);
        TPictureBox partBox;
        partBox.SetPicturePart(whole.copy(Part), WholeSize, Part.topLeft());
        QCOMPARE(partBox.WholeSize(), WholeSize);
        QCOMPARE(Shown(partBox, size), Shown(wholeBox, size));
    }

    void picturesComeSharpAtRatioTwo_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        QTest::newRow("pedals") << QStringLiteral(":/pictures/pedals.png") << Part.size();
        QTest::newRow("logo") << QStringLiteral(":/pictures/logo.png") << QSize(149, 100);
    }
    void picturesComeSharpAtRatioTwo() {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        for (const qreal ratio : {1.0, 1.5, 2.0}) {
            const QImage picture = LoadPicture(path, ratio);
            const qreal expectedRatio = ratio > 1 ? 2.0 : 1.0;
            QCOMPARE(picture.devicePixelRatio(), expectedRatio);
            QCOMPARE(picture.size(), size * expectedRatio);
            QCOMPARE(picture.deviceIndependentSize().toSize(), size);
        }
    }

    // The raw pixels the build made of the PNG are the PNG's, and are shown in place.
    void rawPedalPictureHasThePngsPixels() {
        const QImage raw = LoadPicture(QStringLiteral(":/pictures/pedals.png"), 1.0);
        QCOMPARE(raw.format(), QImage::Format_RGB888);
        QImageReader png(QStringLiteral(":/pictures/pedals.png"), "png");
        QCOMPARE(raw.convertToFormat(QImage::Format_RGB32), png.read().convertToFormat(QImage::Format_RGB32));
        const QResource resource(QStringLiteral(":/pictures/pedals.rgb"));
        QVERIFY(resource.isValid());
        QCOMPARE(static_cast<const void*>(raw.constBits()), static_cast<const void*>(resource.data() + 16));
    }

    void rawPictureRoundTripsAndRefusesWhatIsNotOne() {
        const QImage odd = Pattern().copy(0, 0, 7, 5);   // 21 bytes a line: padded to 24
        const QByteArray raw = EncodeRawPicture(odd);
        QCOMPARE(raw.size(), 16 + 5 * 24);
        const auto* bytes = reinterpret_cast<const uchar*>(raw.constData());
        QCOMPARE(RawPictureOver(bytes, raw.size()).convertToFormat(QImage::Format_RGB32), odd);
        QVERIFY(RawPictureOver(bytes, raw.size() - 1).isNull());
        QVERIFY(RawPictureOver(bytes, 15).isNull());
        QVERIFY(RawPictureOver(nullptr, 0).isNull());
        QByteArray wrongMagic = raw;
        wrongMagic[0] = 'X';
        QVERIFY(RawPictureOver(reinterpret_cast<const uchar*>(wrongMagic.constData()), wrongMagic.size()).isNull());
        QByteArray unpadded = raw;
        unpadded[12] = 21;   // bytes per line no longer a multiple of four
        QVERIFY(RawPictureOver(reinterpret_cast<const uchar*>(unpadded.constData()), unpadded.size()).isNull());
    }

    void missingDoubleFallsBackToTheSinglePicture() {
        const QString path = QDir(QDir::tempPath()).filePath(QStringLiteral("qzr-single-only.png"));
        QImage single(QSize(3, 2), QImage::Format_RGB32);
        single.fill(Qt::red);
        QVERIFY(single.save(path));
        const QImage picture = LoadPicture(path, 2.0);
        QFile::remove(path);
        QCOMPARE(picture.size(), QSize(3, 2));
        QCOMPARE(picture.devicePixelRatio(), 1.0);
    }
};

QTEST_MAIN(PictureBoxTest)
#include "PictureBoxTest.moc"
