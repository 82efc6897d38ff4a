#pragma once

#include "CopyList.h"
#include "FileCopier.h"
#include "Form.h"
#include "OwnerDraw.h"
#include "Volumes.h"

#include <QImage>
#include <QList>
#include <QPointer>
#include <QString>

#include <functional>

class QWidget;
class TComboBox;
class TCopyRules;
class TDirectoryListBox;
class TEdit;
class TImage;
class TImageList;
class TItem;
class TLabel;
class TMenuItem;
class TPopupMenu;
class TVeltraneBtn;

// Copying to the hard disk: the user chooses a volume and a folder, sees the free space there and the
// space the files need, and the file list is copied below that folder.

// Asked on the user-interface thread for each target that exists already.
using TOverwriteQuestion = std::function<TOverwriteAnswer(const QString& Target)>;
// Installs the question the copy asks (tests answer it without a box); empty restores the message
// box with Yes, Yes to all, No, No to all and Cancel.
void SetOverwriteQuestion(TOverwriteQuestion Question);

// Copies a resolved file list below Root on a worker thread while a progress dialog (owned by
// Parent) shows the progress and offers Cancel. An empty list shows "There are no files to copy" and
// returns 5; otherwise the copier's result (0 done, 1 cancelled, 2 failed). Files that failed are
// named in one error message.
int CopyFiles(const TCopyList& List, const QString& Root, QWidget* Parent = nullptr);

// What the copy window is given from outside at creation.
struct TBrowseFEnvironment
{
    // The item the main window shows: its copy rules' DefaultFolder and its Folder suggest the folder.
    // Empty or returning null: no item.
    std::function<const TItem*()> CurrentItem;
    // The Copy button's glyph (the main window's image 5).
    QImage CopyGlyph;
    // The skin picture folder, whose "copy.ico" becomes the window's icon.
    QString ImagesFolder;
    // The system's default language id; 0 asks the system.
    quint16 LangId = 0;
};

// The copy window, created once and shown modally by ExecuteCopy for each use.
class TBrowseF : public TForm
{
    Q_OBJECT

public:
    using TEnvironment = TBrowseFEnvironment;

    explicit TBrowseF(const TEnvironment& Environment = {}, QWidget* Parent = nullptr);
    ~TBrowseF() override;

    // Builds the file list from Rules, starts the size count, shows the window modally and returns
    // its result: 1 after Copy (the copy has run then), 2 when cancelled.
    int ExecuteCopy(const TCopyRules& Rules);
    // The folder the last copy went to (ResolveChosenFolder of DirEdit's text when Copy was pressed),
    // read after ExecuteCopy returned 1; "" before a copy of this use.
    QString Folder() const;
    // The result of the last copy (CopyFiles), -1 before any.
    int LastCopyResult() const { return FLastCopyResult; }
    // The file list of the current use.
    const TCopyList& FileList() const { return FFileList; }
    // The volumes DriveList shows, entry i being volume i.
    const QList<TVolume>& Volumes() const { return FVolumes; }
    // True while a size count of this window runs.
    bool SizeCountRunning() const { return !FSizeCounter.isNull(); }

    // --- Controls ---
    TEdit* DirEdit = nullptr;
    TLabel* FreeL = nullptr;
    TComboBox* DriveList = nullptr;
    TPopupMenu* PMenu = nullptr;
    TMenuItem* OpenDirItem = nullptr;
    TLabel* ObjectsSizeL = nullptr;
    TImage* InfoImg = nullptr;
    TDirectoryListBox* DirList = nullptr;
    TImageList* DriveIcons = nullptr;
    TVeltraneBtn* CopyBtn = nullptr;
    TVeltraneBtn* CancelBtn = nullptr;

    // --- Handlers ---
    void DriveListChange(QObject* Sender = nullptr);
    void DirListChange(QObject* Sender = nullptr);
    void DriveListDrawItem(TControl* Control, int Index, const QRect& Rect, TOwnerDrawState State);
    void DirListMouseDown(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void OpenDirItemClick(QObject* Sender = nullptr);
    void DirEditKeyDown(QObject* Sender, quint16& Key, TShiftState Shift);
    void FormKeyDown(QObject* Sender, quint16& Key, TShiftState Shift);
    void CopyBtnClick(QObject* Sender = nullptr);
    // Puts the suggested folder into DirEdit: the folder DirList shows with the current item's suffix.
    void SuggestFolder();
    // Shows the size the files need.
    void ShowObjectsSize(qint64 Bytes);

protected:
    void FormShow() override;

private:
    void FormCreate();
    void FillDriveList();
    void StartSizeCount();
    void StopSizeCount();
    const TItem* CurrentItem() const;
    // The root of the volume DriveList shows ("" when none).
    QString SelectedRoot() const;

    TEnvironment FEnvironment;
    quint16 FLangId = 0;
    QList<TVolume> FVolumes;
    TCopyList FFileList;
    QPointer<TGetObjectsSize> FSizeCounter;
    // Counters stopped but perhaps not yet ended; waited for when the window goes.
    QList<QPointer<TGetObjectsSize>> FStoppedCounters;
    int FLastCopyResult = -1;
    QString FChosenFolder;
};

// The copy window of the run (created once by start-up), or nullptr.
extern TBrowseF* BrowseF;
