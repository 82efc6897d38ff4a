#pragma once

#include <QWidget>

class QLabel;
class QTreeWidget;

// The main window as far as it exists yet: its creation loads the project, and it lists the
// project's sections and items under the project's title. The skinned window replaces it.
class TMainF : public QWidget
{
    Q_OBJECT

public:
    explicit TMainF(QWidget* Parent = nullptr);

private:
    void FormCreate();
    void BuildProjectTree();

    QLabel* TitleLabel = nullptr;
    QTreeWidget* ProjectTree = nullptr;
};
