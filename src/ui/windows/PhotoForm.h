#pragma once

#include "Form.h"
#include "model/Project.h"

#include <QString>

class TImage;

// The picture viewer: pictures of the disc full screen on black, one at a time. Right arrow, Enter,
// Space or a left click step forward, left arrow steps back; stepping past either end, Escape or a
// right mouse button closes the window. It serves two kinds of list: the pictures of an item's
// picture-opening steps (ImageActionList) and the screenshots of a section or item.

// The current item's picture-opening steps whose files exist. Filled by running an item action and by
// the main window for picture items; shown by the main window's picture gallery and by the viewer.
// Lives for the whole run, so that it can be filled before the viewer exists.
extern TShellActions ImageActionList;

// Index of the shown picture in the current list; -1 while the viewer is closed.
extern int PhotoIndex;
// The current list is a screenshot collection rather than a list of picture steps.
extern bool ShowingScreenshots;

// Appends to List a copy of each step of ItemAction whose file exists, in order, as long as every
// step opens a picture; at the first step that does not, List is cleared and the walk ends. List is
// not emptied first: callers clear it.
void CollectImageActions(const TItemAction& ItemAction, TShellActions& List);

class TPhotoF : public TForm
{
    Q_OBJECT

public:
    explicit TPhotoF(QWidget* Parent = nullptr);
    ~TPhotoF() override;

    // Shows List[StartIndex] and then the window modally, stepping through List; returns when the
    // window has closed. Callers pass ImageActionList. False, without a window, for an index outside
    // the list or a first picture that cannot be read (its message is shown).
    bool ShowImageList(const TShellActions& List, int StartIndex);
    // The same for a screenshot collection; the collection must live while the window is shown.
    bool ShowScreenshotList(const TScreenshots& Screenshots, int StartIndex);
    // Loads the picture file Path into the picture control: a larger picture is fitted to the screen
    // with its proportions kept, a smaller one shown at its own size in the centre. False, with an
    // empty picture, when the file cannot be read.
    bool ShowPicture(const QString& Path);

    TImage* Image() const { return FImage; }
    // The file last given to ShowPicture.
    QString ShownFile() const { return FShownFile; }

    // Steps forward: shows the next picture of the current list, or closes past the last one.
    void NextPicture();
    // Steps back: shows the previous picture, or closes on the first one.
    void PreviousPicture();

protected:
    void FormClose(TCloseAction& Action) override;

private:
    void FormCreate();
    void FormKeyDown(QObject* Sender, quint16& Key, TShiftState Shift);
    void FormMouseDown(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void ImageClick(QObject* Sender);
    // Number of pictures in the current list.
    int CurrentCount() const;
    // Full path of picture Index of the current list.
    QString PicturePath(int Index) const;
    // Shows picture StartIndex of the current list, then the window modally.
    bool ShowFirst(int StartIndex);
    // Shows picture Index of the current list; a file that cannot be read is reported.
    bool ShowListPicture(int Index);
    void ResetList();

    TImage* FImage = nullptr;
    const TShellActions* FImages = nullptr;
    const TScreenshots* Screenshots = nullptr;
    QString FShownFile;
};

// The viewer of the run (created once by start-up), or nullptr.
extern TPhotoF* PhotoF;

// Entries for the main window's galleries and the action runner: the viewer of the run shows the list
// from StartIndex. False when there is no viewer or nothing to show at that index.
bool ShowImageList(const TShellActions& List, int StartIndex);
bool ShowScreenshotList(const TScreenshots& Screenshots, int StartIndex);
