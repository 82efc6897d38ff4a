#include "Edit.h"

#include <QLineEdit>

#include <limits>

TEdit::TEdit(QWidget* Parent, const QString& Name) : TWrappedControl(Parent, Name)
{
    FEdit = new QLineEdit(this);
    FEdit->setMaxLength(std::numeric_limits<int>::max());
    connect(FEdit, &QLineEdit::textChanged, this, [this] {
        if (OnChange) {
            OnChange(this);
        }
    });
    SetInnerWidget(FEdit);
    SetBounds(0, 0, 121, 21);
}

QString TEdit::Text() const
{
    return FEdit->text();
}

void TEdit::SetText(const QString& Value)
{
    FEdit->setText(Value);
}

bool TEdit::ReadOnly() const
{
    return FEdit->isReadOnly();
}

void TEdit::SetReadOnly(bool Value)
{
    FEdit->setReadOnly(Value);
}

void TEdit::SetMaxLength(int Value)
{
    FMaxLength = std::max(0, Value);
    FEdit->setMaxLength(FMaxLength > 0 ? FMaxLength : std::numeric_limits<int>::max());
}

void TEdit::SetPasswordChar(QChar Value)
{
    FPasswordChar = Value;
    FEdit->setEchoMode(Value.isNull() ? QLineEdit::Normal : QLineEdit::Password);
}

void TEdit::SelectAll()
{
    FEdit->selectAll();
}
