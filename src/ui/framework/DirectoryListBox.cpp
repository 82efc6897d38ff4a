#include "DirectoryListBox.h"

#include "Colors.h"
#include "Keys.h"
#include "text/Paths.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QPainter>
#include <QStyle>

#include <algorithm>

TDirectoryListBox::TDirectoryListBox(QWidget* Parent, const QString& Name) : TListBox(Parent, Name)
{
    SetStyle(lbOwnerDrawFixed);
    SetItemHeight(16);
    SetBounds(0, 0, 145, 97);
}

bool TDirectoryListBox::SetDirectory(const QString& Value)
{
    const QFileInfo Info(NativePath(Value));
    if (Value.isEmpty() || !Info.isDir()) {
        return false;
    }
    const QString Path = QDir::cleanPath(Info.absoluteFilePath());
    if (Path == FDirectory) {
        return true;
    }
    FDirectory = Path;
    ReadDirectory();
    if (OnChange) {
        OnChange(this);
    }
    return true;
}

void TDirectoryListBox::Update()
{
    if (!FDirectory.isEmpty()) {
        ReadDirectory();
    }
}

QString TDirectoryListBox::GetItemPath(int Index) const
{
    return Index >= 0 && Index < FPaths.size() ? FPaths[Index] : QString();
}

int TDirectoryListBox::ItemLevel(int Index) const
{
    return Index >= 0 && Index < FLevels.size() ? FLevels[Index] : 0;
}

void TDirectoryListBox::OpenCurrent()
{
    const QString Path = GetItemPath(ItemIndex());
    if (!Path.isEmpty() && !SetDirectory(Path)) {
        Update(); // the folder went away meanwhile
    }
}

void TDirectoryListBox::ReadDirectory()
{
    // The chain of folders from the root down.
    QStringList Chain;
    QDir Dir(FDirectory);
    for (int Guard = 0; Guard < 4096; ++Guard) {
        Chain.prepend(QDir::cleanPath(Dir.absolutePath()));
        if (Dir.isRoot() || !Dir.cdUp()) {
            break;
        }
    }
    QStringList Children;
    QDirIterator It(FDirectory, QDir::Dirs | QDir::NoDotAndDotDot);
    while (It.hasNext() && Children.size() < MaxFolders) {
        It.next();
        Children.append(It.fileName());
    }
    std::sort(Children.begin(), Children.end(), [](const QString& A, const QString& B) {
        const int ByName = A.compare(B, Qt::CaseInsensitive);
        return ByName != 0 ? ByName < 0 : A < B;
    });

    FPaths.clear();
    FLevels.clear();
    QStringList Names;
    for (int I = 0; I < Chain.size(); ++I) {
        const QString& Path = Chain[I];
        const QString Name = QFileInfo(Path).fileName();
        Names.append(Name.isEmpty() ? QDir::toNativeSeparators(Path) : Name);
        FPaths.append(Path);
        FLevels.append(I);
    }
    const QString Base = FDirectory.endsWith(u'/') ? FDirectory : FDirectory + u'/';
    for (const QString& Child : std::as_const(Children)) {
        Names.append(Child);
        FPaths.append(Base + Child);
        FLevels.append(static_cast<int>(Chain.size()));
    }
    FChainCount = static_cast<int>(Chain.size());
    Items().Assign(Names);
    SetTopIndex(0);
    SetItemIndex(static_cast<int>(Chain.size()) - 1);
}

void TDirectoryListBox::DrawItem(int Index, const QRect& Rect, TOwnerDrawState State)
{
    if (OnDrawItem) {
        TListBox::DrawItem(Index, Rect, State);
        return;
    }
    QPainter& Painter = *Canvas();
    const QBrush Highlight = Painter.brush();
    const QPen TextPen = Painter.pen();
    Painter.fillRect(Rect, ColorToRGB(Color()));
    // The folders down to the directory are shown open.
    const bool Open = Index < FChainCount;
    const int Left = Rect.left() + 2 + ItemLevel(Index) * LevelIndent;
    const QIcon Icon = style()->standardIcon(Open ? QStyle::SP_DirOpenIcon : QStyle::SP_DirClosedIcon);
    Icon.paint(&Painter, QRect(Left, Rect.top() + (Rect.height() - 16) / 2, 16, 16));
    const QString Text = Items().Strings(Index);
    const int TextWidth = Painter.fontMetrics().horizontalAdvance(Text) + 4;
    const QRect TextRect(Left + 18, Rect.top(),
                         std::max(0, std::min(TextWidth, Rect.right() + 1 - Left - 18)), Rect.height());
    if (State.testFlag(odSelected)) {
        Painter.fillRect(TextRect, Highlight);
    }
    Painter.setPen(TextPen);
    Painter.drawText(TextRect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     Text);
}

void TDirectoryListBox::KeyDown(quint16& Key, TShiftState Shift)
{
    TListBox::KeyDown(Key, Shift);
    if (Key == VK_RETURN) {
        Key = 0;
        OpenCurrent();
    }
}

void TDirectoryListBox::DblClick()
{
    TListBox::DblClick();
    OpenCurrent();
}
