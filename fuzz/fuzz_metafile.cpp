// Fuzzes the metafile readers and player. An input starting with the EMF header record type (1 as
// a 32-bit number) is read as an enhanced metafile, any other as a Windows metafile; what reads is
// played into a small bitmap, with text, so a QGuiApplication on the offscreen platform is made
// once.

#include "Graphic.h"
#include "ImageLimits.h"

#include <QByteArrayView>
#include <QGuiApplication>
#include <QtEndian>

#include <cstdlib>

// fontconfig, which Qt asks for the fonts of metafile text, keeps patterns it never frees; that is
// no leak of the reader's.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int* Argc, char*** Argv)
{
    SetImageLimits(SmallImageLimits());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_NO_GLIB", "1");
    static QGuiApplication App(*Argc, *Argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const QByteArrayView Bytes(Data, qsizetype(Size));
    const bool Enhanced = Size >= 4 && qFromLittleEndian<quint32>(Data) == 1;
    const QString Name = Enhanced ? QStringLiteral("fuzz.emf") : QStringLiteral("fuzz.wmf");
    const TGraphicLoad Load = LoadGraphicFromData(Bytes, Name);
    if (!Load.Ok()) {
        if (!Load.Error.startsWith(QStringLiteral("Cannot read picture \"") + Name))
            std::abort();
        return 0;
    }
    const QSize S = Load.Graphic->Size();
    if (!CheckImageSize(S.width(), S.height()).isEmpty())
        std::abort();
    Load.Graphic->ToBitmap(QSize(qMin(S.width(), 64), qMin(S.height(), 64)));
    return 0;
}
