// The yardstick of the start-up benchmark: a plain Qt program that shows the sections and items of a
// project in a QTreeWidget, with their icons, waits until the window is on screen, saves it as a PNG
// picture and ends, as autorun does with "snapshot=FILE".
// Usage: bench_minimal_tree NODES.txt WIDTHxHEIGHT OUT.png
// NODES.txt (UTF-8) has one line per icon file or node, fields separated by tabs:
//   icon <path>            the icons, numbered from 0 in their order
//   section <icon> <name>  a top-level node (icon -1: none)
//   item <icon> <name>     a child of the last section, or a top-level node before any section

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QPixmap>
#include <QTreeWidget>
#include <QWindow>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 MaxListBytes = 64 << 20;
constexpr int MaxIcons = 100000;
constexpr int MaxNodes = 1000000;

} // namespace

int main(int argc, char** argv)
{
    QApplication App(argc, argv);
    const QStringList Args = App.arguments();
    const QStringList Size = Args.value(2).split(u'x');
    const int Width = Size.value(0).toInt(), Height = Size.value(1).toInt();
    if (Args.size() != 4 || Width <= 0 || Height <= 0 || Width > 10000 || Height > 10000) {
        std::fprintf(stderr, "usage: bench_minimal_tree NODES.txt WIDTHxHEIGHT OUT.png\n");
        return 2;
    }
    QFile List(Args[1]);
    if (!List.open(QIODevice::ReadOnly) || List.size() > MaxListBytes) {
        std::fprintf(stderr, "cannot read %s\n", qUtf8Printable(Args[1]));
        return 1;
    }
    const QString Text = QString::fromUtf8(List.readAll());

    // Every icon is read once, as the program reads its own at start-up.
    QList<QIcon> Icons;
    QList<QTreeWidgetItem*> Top;
    QTreeWidgetItem* Section = nullptr;
    QList<QTreeWidgetItem*> Children;
    int Nodes = 0;
    auto EndSection = [&] {
        if (Section)
            Section->addChildren(Children);
        Children.clear();
    };
    for (const QStringView Line : QStringView(Text).split(u'\n', Qt::SkipEmptyParts)) {
        const QList<QStringView> Fields = Line.split(u'\t');
        if (Fields[0] == u"icon"_s && Fields.size() == 2 && Icons.size() < MaxIcons) {
            Icons.append(QIcon(QPixmap(Fields[1].toString())));
            continue;
        }
        if (Fields.size() != 3 || ++Nodes > MaxNodes)
            continue;
        const int Icon = Fields[1].toInt();
        auto* Node = new QTreeWidgetItem(QStringList{Fields[2].toString()});
        if (Icon >= 0 && Icon < Icons.size())
            Node->setIcon(0, Icons[Icon]);
        if (Fields[0] == u"section"_s) {
            EndSection();
            Section = Node;
            Top.append(Node);
        } else if (Section) {
            Children.append(Node);
        } else {
            Top.append(Node);
        }
    }
    EndSection();

    QTreeWidget Tree;
    Tree.setHeaderHidden(true);
    Tree.addTopLevelItems(Top);
    Tree.resize(Width, Height);
    Tree.show();

    QElapsedTimer Waited;
    Waited.start();
    while (Tree.windowHandle() && !Tree.windowHandle()->isExposed() && Waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QCoreApplication::processEvents();
    const QString Path = QFileInfo(Args[3]).absoluteFilePath();
    if (!Tree.grab().save(Path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qUtf8Printable(Path));
        return 1;
    }
    return 0;
}
