// Fuzzes the controls.ini reader: the file's bytes are read, and every line applied to a small tree
// of objects as the window applies them to its controls.

#include "config/ControlsProps.h"

#include <QCoreApplication>
#include <QObject>

extern "C" int LLVMFuzzerInitialize(int* Argc, char*** Argv)
{
    static QCoreApplication App(*Argc, *Argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    TControlsPropsContainer Props;
    Props.LoadFromBytes(QByteArrayView(Data, qsizetype(Size)));
    QObject Root;
    Root.setObjectName(QStringLiteral("Main"));
    QObject Child(&Root);
    Child.setObjectName(QStringLiteral("Tree"));
    for (const QString& Section : Props.Sections()) {
        Props.SectionValues(Section);
    }
    Props.ApplyToControl(&Root, true);
    Props.ReadControlValue(&Child, QStringLiteral("Color"));
    return 0;
}
