// Pictures: a part of a larger picture shows exactly where the whole would, and the pictures
// come at twice the pixels on screens with a device pixel ratio of 2.
#include <QPainter>
#include <QtTest>

#include "ui/controls/PictureBox.h"

using namespace qzr;

namespace {

const QSize WholeSize(1471, 878);
const QRect Part(335, 102, 800, 674);

// Every pixel different from its neighbours, so a shift by one shows.
QPixmap Pattern() {
    QImage image(WholeSize, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x % 251, y % 241, (x * 7 + y * 13) % 256));
    return QPixmap::fromImage(image);
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
        const QPixmap whole = Pattern();
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
            const QPixmap picture = LoadPicture(path, ratio);
            const qreal expectedRatio = ratio > 1 ? 2.0 : 1.0;
            QCOMPARE(picture.devicePixelRatio(), expectedRatio);
            QCOMPARE(picture.size(), size * expectedRatio);
            QCOMPARE(picture.deviceIndependentSize().toSize(), size);
        }
    }

    void missingDoubleFallsBackToTheSinglePicture() {
        const QString path = QDir(QDir::tempPath()).filePath(QStringLiteral("qzr-single-only.png"));
        QImage single(QSize(3, 2), QImage::Format_RGB32);
        single.fill(Qt::red);
        QVERIFY(single.save(path));
        const QPixmap picture = LoadPicture(path, 2.0);
        QFile::remove(path);
        QCOMPARE(picture.size(), QSize(3, 2));
        QCOMPARE(picture.devicePixelRatio(), 1.0);
    }
};

QTEST_MAIN(PictureBoxTest)
#include "PictureBoxTest.moc"
