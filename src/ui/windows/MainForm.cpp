#include "MainForm.h"

#include "LoadProject.h"
#include "config/ProgramPaths.h"
#include "model/Project.h"
#include "text/LoadMessages.h"

#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TMainF::TMainF(QWidget* Parent) : QWidget(Parent)
{
    setObjectName(u"MainF"_s);
    setWindowTitle(ProductName.toString());
    auto* Layout = new QVBoxLayout(this);
    TitleLabel = new QLabel(this);
    TitleLabel->setObjectName(u"TitleLabel"_s);
    TitleLabel->setAlignment(Qt::AlignCenter);
    QFont Bold = TitleLabel->font();
    Bold.setBold(true);
    TitleLabel->setFont(Bold);
    ProjectTree = new QTreeWidget(this);
    ProjectTree->setObjectName(u"ProjectTree"_s);
    ProjectTree->setHeaderHidden(true);
    Layout->addWidget(TitleLabel);
    Layout->addWidget(ProjectTree);
    resize(640, 420);
    FormCreate();
}

void TMainF::FormCreate()
{
    LoadProject(ProjectFilePath);
    if (LoadFailed)
        return;
    BuildProjectTree();
}

void TMainF::BuildProjectTree()
{
    TitleLabel->setText(Project->Title);
    for (int S = 0; S < Project->Sections.Count(); ++S) {
        const TSection& Section = Project->Sections.Items(S);
        // A section without a name has no node of its own: its items stand at the top level.
        QTreeWidgetItem* Parent = nullptr;
        if (!Section.Name.isEmpty()) {
            Parent = new QTreeWidgetItem(ProjectTree, {Section.Name});
        }
        for (int I = 0; I < Section.SItems.Count(); ++I) {
            const QString& Name = Section.SItems.Items(I).Name;
            if (Parent)
                new QTreeWidgetItem(Parent, {Name});
            else
                new QTreeWidgetItem(ProjectTree, {Name});
        }
    }
    ProjectTree->expandAll();
}
