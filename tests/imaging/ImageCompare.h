#pragma once

// Pixel comparison for the golden-pair tests.

#include <QFile>
#include <QImage>
#include <QString>

#include <cstdlib>

// Compares size and every pixel (as non-premultiplied ARGB). Channels may differ by Tolerance;
// pixels that are fully transparent in both count as equal whatever their colour. On a difference
// Why says where.
inline bool SameImage(const QImage& Actual, const QImage& Expected, int Tolerance, QString* Why = nullptr)
{
    auto Fail = [&](const QString& Text) {
        if (Why)
            *Why = Text;
        return false;
    };
    if (Actual.isNull() || Expected.isNull())
        return Fail(QStringLiteral("null image"));
    if (Actual.size() != Expected.size())
        return Fail(QStringLiteral("size %1 x %2, expected %3 x %4")
                        .arg(Actual.width())
                        .arg(Actual.height())
                        .arg(Expected.width())
                        .arg(Expected.height()));
    const QImage A = Actual.convertToFormat(QImage::Format_ARGB32);
    const QImage E = Expected.convertToFormat(QImage::Format_ARGB32);
    for (int Y = 0; Y < A.height(); ++Y) {
        for (int X = 0; X < A.width(); ++X) {
            const QRgb P = A.pixel(X, Y), Q = E.pixel(X, Y);
            if (qAlpha(P) == 0 && qAlpha(Q) == 0)
                continue;
            const int D = qMax(qMax(std::abs(qRed(P) - qRed(Q)), std::abs(qGreen(P) - qGreen(Q))),
                               qMax(std::abs(qBlue(P) - qBlue(Q)), std::abs(qAlpha(P) - qAlpha(Q))));
            if (D > Tolerance)
                return Fail(QStringLiteral("pixel (%1, %2) is #%3, expected #%4")
                                .arg(X)
                                .arg(Y)
                                .arg(P, 8, 16, QLatin1Char('0'))
                                .arg(Q, 8, 16, QLatin1Char('0')));
        }
    }
    return true;
}

inline QByteArray ReadFixture(const QString& Path)
{
    QFile F(Path);
    if (!F.open(QIODevice::ReadOnly))
        return {};
    return F.readAll();
}

inline QString ImagingData(const QString& Name)
{
    return QStringLiteral(AUTORUN_TEST_DATA_DIR "/imaging/") + Name;
}
