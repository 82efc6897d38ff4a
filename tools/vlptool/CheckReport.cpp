#include "CheckReport.h"

#include "model/Project.h"

#include <QJsonArray>

using namespace Qt::StringLiterals;

namespace {

QString Numbered(const QString& What, int Index, const QString& Name)
{
    QString Text = u"%1 %2"_s.arg(What).arg(Index + 1);
    if (!Name.isEmpty()) {
        Text += u" \""_s + Name + u'"';
    }
    return Text;
}

// The project's parts down to the place, each numbered from 1 and named where it has a name.
QStringList ProjectPath(const TPlace& Place, const TVeltraneProject* Project)
{
    QStringList Parts;
    const TSection* Section = nullptr;
    if (Place.Section >= 0) {
        if (Project && Place.Section < Project->Sections.Count()) {
            Section = &Project->Sections.Items(Place.Section);
        }
        Parts.append(Numbered(u"section"_s, Place.Section, Section ? Section->Name : QString()));
    }
    const TItem* Item = nullptr;
    if (Place.Item >= 0) {
        if (Section && Place.Item < Section->SItems.Count()) {
            Item = &Section->SItems.Items(Place.Item);
        }
        Parts.append(Numbered(u"item"_s, Place.Item, Item ? Item->Name : QString()));
    }
    if (Place.Action >= 0) {
        const TItemAction* Action = nullptr;
        if (Item && Place.Action < Item->ItemActions.Count()) {
            Action = &Item->ItemActions.Items(Place.Action);
        }
        Parts.append(Numbered(u"action"_s, Place.Action, Action ? Action->Description : QString()));
    }
    if (Place.Step >= 0) {
        Parts.append(u"step %1"_s.arg(Place.Step + 1));
    }
    return Parts;
}

} // namespace

QString ProblemKindName(TProblemKind Kind)
{
    switch (Kind) {
    case TProblemKind::Missing:
        return u"missing"_s;
    case TProblemKind::LetterCase:
        return u"letter-case"_s;
    case TProblemKind::Undecodable:
        return u"undecodable"_s;
    case TProblemKind::TooLong:
        return u"too-long"_s;
    case TProblemKind::UnknownSetting:
        return u"unknown-setting"_s;
    case TProblemKind::BadValue:
        return u"bad-value"_s;
    case TProblemKind::ControlsLine:
        return u"controls-line"_s;
    case TProblemKind::ControlsIgnored:
        return u"controls-ignored"_s;
    case TProblemKind::NoOpener:
        return u"no-opener"_s;
    case TProblemKind::DocumentProgram:
        return u"document-program"_s;
    case TProblemKind::Unreadable:
        return u"unreadable"_s;
    }
    return {};
}

QString DescribePlace(const TPlace& Place, const TVeltraneProject* Project)
{
    switch (Place.Where) {
    case TPlace::InSettings:
        return u"shell.ini "_s + Place.Field;
    case TPlace::InControls:
        return Place.Line > 0 ? u"controls.ini line %1"_s.arg(Place.Line) : u"controls.ini"_s;
    case TPlace::InWindow:
        return Place.Field;
    case TPlace::InProject:
        return u"the project's "_s + Place.Field;
    case TPlace::InSection:
    case TPlace::InItem:
    case TPlace::InStep:
        break;
    }
    QStringList Parts = ProjectPath(Place, Project);
    if (!Place.Field.isEmpty()) {
        Parts.append(Place.Index >= 0 ? u"%1 %2"_s.arg(Place.Field).arg(Place.Index + 1) : Place.Field);
    }
    return Parts.join(u", "_s);
}

QString ProblemLine(const TProblem& Problem, const TVeltraneProject* Project)
{
    const QString Severity = Problem.Severity == TSeverity::Error ? u"error"_s : u"warning"_s;
    QString Line = Problem.File.isEmpty() ? QString() : Problem.File + u": "_s;
    Line += Severity + u": "_s + Problem.Message;
    if (!Problem.Places.isEmpty()) {
        Line += u" (named by "_s + DescribePlace(Problem.Places.first(), Project);
        if (const qsizetype More = Problem.Places.size() - 1; More > 0) {
            Line += More == 1 ? u", and 1 more place"_s : u", and %1 more places"_s.arg(More);
        }
        Line += u')';
    }
    return Line;
}

QJsonObject ProblemJson(const TProblem& Problem, const TVeltraneProject* Project)
{
    QJsonArray Places;
    for (const TPlace& Place : Problem.Places) {
        QJsonObject P{{u"text"_s, DescribePlace(Place, Project)}};
        switch (Place.Where) {
        case TPlace::InSettings:
            P[u"in"_s] = u"shell.ini"_s;
            break;
        case TPlace::InControls:
            P[u"in"_s] = u"controls.ini"_s;
            if (Place.Line > 0) {
                P[u"line"_s] = Place.Line;
            }
            break;
        case TPlace::InWindow:
            P[u"in"_s] = u"program"_s;
            break;
        case TPlace::InProject:
        case TPlace::InSection:
        case TPlace::InItem:
        case TPlace::InStep:
            P[u"in"_s] = u"project"_s;
            // Indexes from 0, as the project's JSON form lists its collections.
            const std::pair<const char16_t*, int> Indexes[] = {{u"section", Place.Section},
                                                               {u"item", Place.Item},
                                                               {u"action", Place.Action},
                                                               {u"step", Place.Step},
                                                               {u"index", Place.Index}};
            for (const auto& [Name, Value] : Indexes) {
                if (Value >= 0) {
                    P[QString::fromUtf16(Name)] = Value;
                }
            }
            break;
        }
        if (!Place.Field.isEmpty() && Place.Where != TPlace::InWindow) {
            P[u"field"_s] = Place.Field;
        }
        Places.append(P);
    }
    return QJsonObject{{u"severity"_s, Problem.Severity == TSeverity::Error ? u"error"_s : u"warning"_s},
                       {u"kind"_s, ProblemKindName(Problem.Kind)},
                       {u"file"_s, Problem.File},
                       {u"message"_s, Problem.Message},
                       {u"places"_s, Places}};
}
