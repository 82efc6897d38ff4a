// showcase: every custom component on one window.
//
//   showcase              shows the window
//   showcase --png FILE   saves the window as a PNG picture and ends (also with QT_QPA_PLATFORM=offscreen)

#include "ShowcaseForm.h"

#include <QApplication>
#include <QFileInfo>
#include <QWindow>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char** argv)
{
    QApplication App(argc, argv);
    const QStringList Arguments = App.arguments();
    QString PngFile;
    for (qsizetype I = 1; I < Arguments.size(); ++I) {
        if (Arguments[I] == u"--png"_s && I + 1 < Arguments.size()) {
            PngFile = Arguments[++I];
        } else {
            std::fprintf(stderr, "usage: showcase [--png FILE]\n");
            return 2;
        }
    }

    TShowcaseF Form;
    Form.show();
    if (PngFile.isEmpty())
        return App.exec();

    // The window lays itself out and paints once before it is drawn into the picture.
    QCoreApplication::processEvents();
    const QString Path = QFileInfo(PngFile).absoluteFilePath();
    if (!Form.grab().save(Path, "PNG")) {
        std::fprintf(stderr, "showcase: cannot write %s\n", qUtf8Printable(Path));
        return 1;
    }
    std::printf("showcase: written to %s\n", qUtf8Printable(Path));
    return 0;
}
