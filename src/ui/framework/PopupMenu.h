#pragma once

#include <QList>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QAction;
class QWidget;

// One entry of a popup menu. "&" in the caption marks the accelerator.
class TMenuItem : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)

public:
    explicit TMenuItem(QObject* Parent = nullptr, const QString& Name = {});

    QString Caption() const;
    void SetCaption(const QString& Value);
    bool Enabled() const;
    void SetEnabled(bool Value);
    bool Visible() const;
    void SetVisible(bool Value);
    bool Checked() const;
    void SetChecked(bool Value);

    // The entry as the menu shows it.
    QAction* Action() const { return FAction; }
    // Chooses the entry, as the user would: OnClick runs when the entry is enabled.
    void Click();

    std::function<void(QObject* Sender)> OnClick;

private:
    QAction* FAction = nullptr;
};

// A menu that pops up at a screen position (a text area's right-click menu).
class TPopupMenu : public QObject
{
    Q_OBJECT

public:
    explicit TPopupMenu(QWidget* Parent = nullptr, const QString& Name = {});
    ~TPopupMenu() override;

    // Appends Item; the menu takes it as a child.
    void Add(TMenuItem* Item);
    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int Index) const;

    // Shows the menu with its top-left corner at the screen position (X, Y). Returns at once; a chosen
    // entry runs its OnClick.
    void Popup(int X, int Y);
    // True while the menu is on screen.
    bool Showing() const;
    QMenu* Menu() const { return FMenu; }

    // Called before the menu shows.
    std::function<void(QObject* Sender)> OnPopup;

private:
    // The parent widget may free the menu before us (children go in creation order).
    QPointer<QMenu> FMenu;
    QList<TMenuItem*> FItems;
};
