#pragma once

#include "ListBox.h"

#include <QStringList>

// A folder list: the folders from the root down to Directory, each indented under its parent and
// shown open, then the folders inside Directory. A double click or Enter opens the selected folder,
// which becomes Directory; OnChange follows every change of Directory. Paths are the file system's,
// absolute, without a trailing separator (except a root).
class TDirectoryListBox : public TListBox
{
    Q_OBJECT
    Q_PROPERTY(QString Directory READ Directory WRITE SetDirectory)

public:
    // Most folders listed inside one folder.
    static constexpr int MaxFolders = 10000;
    // Indentation of each level.
    static constexpr int LevelIndent = 10;

    explicit TDirectoryListBox(QWidget* Parent = nullptr, const QString& Name = {});

    QString Directory() const { return FDirectory; }
    // Shows the folder Value (native or in the program's notation); false, and nothing changes, when
    // it names no folder.
    bool SetDirectory(const QString& Value);
    // Reads the folders again.
    void Update();
    // The folder of item Index ("" outside the list).
    QString GetItemPath(int Index) const;
    // The nesting level of item Index: 0 for the root.
    int ItemLevel(int Index) const;
    // Makes the selected folder the directory.
    void OpenCurrent();
    void DblClick() override;

    TNotifyEvent OnChange;

protected:
    void DrawItem(int Index, const QRect& Rect, TOwnerDrawState State) override;
    void KeyDown(quint16& Key, TShiftState Shift) override;

private:
    void ReadDirectory();

    QString FDirectory;
    QStringList FPaths;
    QList<int> FLevels;
    int FChainCount = 0;
};
