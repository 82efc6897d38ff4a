#pragma once

#include "SpeedButton.h"

// The flat push button of the secondary windows. A click either closes the window that holds it or hands
// the window its ModalResult.
class TVeltraneBtn : public TSpeedButton
{
    Q_OBJECT
    Q_PROPERTY(int ModalResult READ ModalResult WRITE SetModalResult)
    Q_PROPERTY(bool FormCloser READ FormCloser WRITE SetFormCloser)

public:
    explicit TVeltraneBtn(QWidget* Parent = nullptr, const QString& Name = {});

    int ModalResult() const { return FModalResult; }
    void SetModalResult(int Value) { FModalResult = Value; }
    bool FormCloser() const { return FFormCloser; }
    void SetFormCloser(bool Value) { FFormCloser = Value; }

    // A closer asks its window to close and fires no OnClick; any other button sets the window's modal
    // result (0 leaves it alone) and then fires OnClick.
    void Click() override;

private:
    int FModalResult = 0;
    bool FFormCloser = false;
};
