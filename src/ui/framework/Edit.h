#pragma once

#include "WrappedControl.h"

#include <QChar>

class QLineEdit;

// A one-line text field. OnChange follows every change of Text, typed or set.
class TEdit : public TWrappedControl
{
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE SetMaxLength)
    Q_PROPERTY(QChar PasswordChar READ PasswordChar WRITE SetPasswordChar)

public:
    explicit TEdit(QWidget* Parent = nullptr, const QString& Name = {});

    QString Text() const;
    void SetText(const QString& Value);
    bool ReadOnly() const;
    void SetReadOnly(bool Value);
    // 0: no limit.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    // Any character but #0 hides the text (shown with the platform's mask character).
    QChar PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(QChar Value);
    void SelectAll();
    QLineEdit* LineEdit() const { return FEdit; }

    TNotifyEvent OnChange;

private:
    QLineEdit* FEdit = nullptr;
    int FMaxLength = 0;
    QChar FPasswordChar;
};
