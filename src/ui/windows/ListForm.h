#pragma once

#include "Form.h"
#include "OwnerDraw.h"
#include "WindowDrag.h"

#include <QIcon>
#include <QList>
#include <QString>

#include <functional>

class TImageList;
class TItem;
class TItemAction;
class TListBox;
class TMainF;
class TPanel;
class TVeltraneBtn;
class TVeltraneImage;

// The action chooser: the current item's actions, one entry each with an icon and a word-wrapped
// description, shown beside the main window without waiting. OK, a double click, Enter or Space runs
// the selected action; the window closes with Escape, F10, Ctrl+X, its close button, or as soon as it
// loses the focus (also to the windows and programs its actions open). Created once, filled again
// at every show.
class TListF : public TForm
{
    Q_OBJECT

public:
    // MainF lends the title bar picture and the current item; null: neither (tests set CurrentItem).
    explicit TListF(TMainF* MainF = nullptr, QWidget* Parent = nullptr);

    TVeltraneImage* TitleImg = nullptr;
    TPanel* TopPanel = nullptr;
    TPanel* RightPanel = nullptr;
    TPanel* ClientPanel = nullptr;
    TListBox* ActionList = nullptr;
    TVeltraneBtn* ListOkBtn = nullptr;
    TVeltraneBtn* ListCloseBtn = nullptr;
    TImageList* Icons = nullptr;

    // The item whose actions are offered; from the main window unless replaced.
    std::function<TItem*()> CurrentItem;
    // Runs the chosen action.
    std::function<void(const TItemAction& Action)> OnExecuteAction;
    // The system's icon for a file (a file-system path); a null icon when there is none.
    std::function<QIcon(const QString& FileName)> FileIcon;

    // The text of an action's entry: its description, else its first step's name, else that step's
    // object.
    static QString EntryText(const TItemAction& Action);

    void OkBtnClick(QObject* Sender = nullptr);
    void FormDeactivate();

protected:
    void FormShow() override;
    void resizeEvent(QResizeEvent* Event) override;
    void changeEvent(QEvent* Event) override;

private:
    void FormCreate(TMainF* MainF);
    void FormKeyDown(QObject* Sender, quint16& Key, TShiftState Shift);
    void LayOutButtons();
    void MeasureEntry(int Index, int& Height);
    void DrawEntry(int Index, const QRect& Rect, TOwnerDrawState State);
    // The icon an entry shows: its action's picture, else the first step file's system icon.
    QImage EntryIcon(const TItemAction& Action) const;

    const TItemAction* FAdding = nullptr;
    int FProjectIcons = 0;
    QList<int> FEntryIcons; // per entry, its image in Icons; -1: none
    TWindowDrag FDrag;
};
