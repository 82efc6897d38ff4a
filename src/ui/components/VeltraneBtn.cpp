#include "VeltraneBtn.h"

#include "Form.h"

TVeltraneBtn::TVeltraneBtn(QWidget* Parent, const QString& Name) : TSpeedButton(Parent, Name) {}

void TVeltraneBtn::Click()
{
    TForm* Form = nullptr;
    for (QWidget* W = parentWidget(); W && !Form; W = W->parentWidget()) {
        Form = qobject_cast<TForm*>(W);
    }
    if (Form) {
        if (FFormCloser) {
            Form->Close();
        } else if (FModalResult != mrNone) {
            Form->SetModalResult(FModalResult);
        }
    }
    if (!FFormCloser) {
        TSpeedButton::Click();
    }
}
