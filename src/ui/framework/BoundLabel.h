#pragma once

#include "Label.h"

// The caption label of another control (an edit field, a picture), made and placed by that control:
// it sits beside its control at the spacing the control keeps, and follows its control's
// visibility and enabled state. Being placed by its control, it is never aligned or anchored itself.
class TBoundLabel : public TLabel
{
    Q_OBJECT

public:
    explicit TBoundLabel(QWidget* Parent = nullptr, const QString& Name = {});
};
