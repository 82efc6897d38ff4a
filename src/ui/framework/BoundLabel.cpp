#include "BoundLabel.h"

TBoundLabel::TBoundLabel(QWidget* Parent, const QString& Name) : TLabel(Parent, Name) {}
