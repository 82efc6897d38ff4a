#include "PopupMenu.h"

#include <QAction>
#include <QMenu>
#include <QPoint>
#include <QWidget>

TMenuItem::TMenuItem(QObject* Parent, const QString& Name) : QObject(Parent)
{
    setObjectName(Name);
    FAction = new QAction(this);
    connect(FAction, &QAction::triggered, this, [this] {
        if (OnClick) {
            OnClick(this);
        }
    });
}

QString TMenuItem::Caption() const
{
    return FAction->text();
}

void TMenuItem::SetCaption(const QString& Value)
{
    FAction->setText(Value);
}

bool TMenuItem::Enabled() const
{
    return FAction->isEnabled();
}

void TMenuItem::SetEnabled(bool Value)
{
    FAction->setEnabled(Value);
}

bool TMenuItem::Visible() const
{
    return FAction->isVisible();
}

void TMenuItem::SetVisible(bool Value)
{
    FAction->setVisible(Value);
}

bool TMenuItem::Checked() const
{
    return FAction->isChecked();
}

void TMenuItem::SetChecked(bool Value)
{
    FAction->setCheckable(Value || FAction->isCheckable());
    FAction->setChecked(Value);
}

void TMenuItem::Click()
{
    if (FAction->isEnabled()) {
        FAction->trigger();
    }
}

TPopupMenu::TPopupMenu(QWidget* Parent, const QString& Name) : QObject(Parent)
{
    setObjectName(Name);
    FMenu = new QMenu(Parent);
}

TPopupMenu::~TPopupMenu()
{
    delete FMenu.data();
}

void TPopupMenu::Add(TMenuItem* Item)
{
    if (!Item || FItems.contains(Item)) {
        return;
    }
    Item->setParent(this);
    FItems.append(Item);
    FMenu->addAction(Item->Action());
}

TMenuItem* TPopupMenu::Items(int Index) const
{
    return Index >= 0 && Index < Count() ? FItems.at(Index) : nullptr;
}

void TPopupMenu::Popup(int X, int Y)
{
    if (OnPopup) {
        OnPopup(this);
    }
    FMenu->popup(QPoint(X, Y));
}

bool TPopupMenu::Showing() const
{
    return FMenu->isVisible();
}
