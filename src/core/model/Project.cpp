#include "model/Project.h"

#include "model/LegacyModel.h"
#include "model/PropTable.h"

using namespace PropTable;
using K = TTypeKind;

namespace {
const char* const ShlActionTypeNames[] = {"atShowMessage", "atOpenObject", "atExecute", "atInstall",
                                          "atPrecopyFiles"};
const char* const ObjectTypeNames[] = {"otFile", "otExecutable", "otMusic", "otImage", "otText", "otFolder"};
const char* const MsgIconTypeNames[] = {"itSystemIcon", "itProjectIcon"};
} // namespace

const TEnumInfo TShlActionTypeInfo{"TShlActionType", ShlActionTypeNames};
const TEnumInfo TObjectTypeInfo{"TObjectType", ObjectTypeNames};
const TEnumInfo TMsgIconTypeInfo{"TMsgIconType", MsgIconTypeNames};

// --- TSplashScreen ---------------------------------------------------------------------------

const TClassInfo& TSplashScreen::ClassInfo() const
{
    using C = TSplashScreen;
    static const TPropInfo Props[] = {
        StrProp<C, &C::ImageFileName>("ImageFileName", K::String),
        OrdProp<C, &C::ShowTime>("ShowTime", K::Word, true, 3),
        OrdProp<C, &C::InfoLeft>("InfoLeft", K::Integer, false, 0),
        OrdProp<C, &C::InfoTop>("InfoTop", K::Integer, false, 0),
        OrdProp<C, &C::ShowName>("ShowName", K::Boolean, true, 1),
        OrdProp<C, &C::ShowCompany>("ShowCompany", K::Boolean, true, 1),
        OrdProp<C, &C::ShowMail>("ShowMail", K::Boolean, false, 0),
        OrdProp<C, &C::ShowWebpage>("ShowWebpage", K::Boolean, false, 0),
    };
    static const TClassInfo Info{"TSplashScreen", Props};
    return Info;
}

void TSplashScreen::Assign(const TPersistent& Source)
{
    const auto* S = dynamic_cast<const TSplashScreen*>(&Source);
    if (!S)
        return TPersistent::Assign(Source);
    ImageFileName = S->ImageFileName;
    ShowTime = S->ShowTime;
    InfoLeft = S->InfoLeft;
    InfoTop = S->InfoTop;
    ShowName = S->ShowName;
    ShowCompany = S->ShowCompany;
    ShowMail = S->ShowMail;
    ShowWebpage = S->ShowWebpage;
}

// --- TUserInfo -------------------------------------------------------------------------------

const TClassInfo& TUserInfo::ClassInfo() const
{
    using C = TUserInfo;
    static const TPropInfo Props[] = {
        StrProp<C, &C::Name>("Name", K::String),
        StrProp<C, &C::Company>("Company", K::String),
        StrProp<C, &C::Email>("Email", K::String),
        StrProp<C, &C::WWW>("WWW", K::String),
        StrProp<C, &C::AuthorWords>("AuthorWords", K::WideString),
    };
    static const TClassInfo Info{"TUserInfo", Props};
    return Info;
}

void TUserInfo::SetInfo(const QString& AName, const QString& ACompany, const QString& AEmail,
                        const QString& AWWW)
{
    Name = AName;
    Company = ACompany;
    Email = AEmail;
    WWW = AWWW;
}

// --- TPic, TPictures -------------------------------------------------------------------------

const TClassInfo& TPic::ClassInfo() const
{
    using C = TPic;
    static const TPropInfo Props[] = {
        ObjProp<C, &C::Icon>("Icon"),
        StrProp<C, &C::Name>("Name", K::String),
        StrProp<C, &C::CategoryName>("CategoryName", K::String),
    };
    static const TClassInfo Info{"TPic", Props};
    return Info;
}

void TPic::Assign(const TPersistent& Source)
{
    if (const auto* S = dynamic_cast<const TPic*>(&Source)) {
        Icon.Assign(S->Icon);
        Name = S->Name;
        CategoryName = S->CategoryName;
        return;
    }
    if (const auto* L = dynamic_cast<const Legacy::TPic*>(&Source)) {
        Icon.Assign(L->Picture);
        Name = L->PictureName;
        CategoryName.clear();
        return;
    }
    TPersistent::Assign(Source);
}

TPictures::TPictures(TVeltraneProject* Owner) : TCollectionOf<TPic>(Owner) {}

const TClassInfo& TPictures::ClassInfo() const
{
    static const TClassInfo Info{"TPictures", {}};
    return Info;
}

TVeltraneProject* TPictures::Project() const
{
    return static_cast<TVeltraneProject*>(Owner());
}

// --- TScreenshot -----------------------------------------------------------------------------

const TClassInfo& TScreenshot::ClassInfo() const
{
    using C = TScreenshot;
    static const TPropInfo Props[] = {StrProp<C, &C::FileName>("FileName", K::String)};
    static const TClassInfo Info{"TScreenshot", Props};
    return Info;
}

void TScreenshot::Assign(const TPersistent& Source)
{
    const auto* S = dynamic_cast<const TScreenshot*>(&Source);
    if (!S)
        return TPersistent::Assign(Source);
    FileName = S->FileName;
}

const TClassInfo& TScreenshots::ClassInfo() const
{
    static const TClassInfo Info{"TScreenshots", {}};
    return Info;
}

// --- TActionMsg ------------------------------------------------------------------------------

const TClassInfo& TActionMsg::ClassInfo() const
{
    using C = TActionMsg;
    static const TPropInfo Props[] = {
        OrdProp<C, &C::IconIndex>("IconIndex", K::Integer, true, 64),
        OrdProp<C, &C::IconType>("IconType", K::Enumeration, true, itSystemIcon, &TMsgIconTypeInfo),
        StrProp<C, &C::Text>("Text", K::WideString),
    };
    static const TClassInfo Info{"TActionMsg", Props};
    return Info;
}

void TActionMsg::Assign(const TPersistent& Source)
{
    const auto* S = dynamic_cast<const TActionMsg*>(&Source);
    if (!S)
        return TPersistent::Assign(Source);
    IconIndex = S->IconIndex;
    IconType = S->IconType;
    Text = S->Text;
}

// --- TCopyRule, TCopyRules -------------------------------------------------------------------

const TClassInfo& TCopyRule::ClassInfo() const
{
    using C = TCopyRule;
    static const TPropInfo Props[] = {
        OrdProp<C, &C::Enabled>("Enabled", K::Boolean, true, 1),
        StrProp<C, &C::CopyingObject>("CopyingObject", K::String),
        StrProp<C, &C::Destination>("Destination", K::String),
    };
    static const TClassInfo Info{"TCopyRule", Props};
    return Info;
}

void TCopyRule::Assign(const TPersistent& Source)
{
    const auto* S = dynamic_cast<const TCopyRule*>(&Source);
    if (!S)
        return TPersistent::Assign(Source);
    Enabled = S->Enabled;
    CopyingObject = S->CopyingObject;
    Destination = S->Destination;
}

TCopyRules::TCopyRules(TItem* Owner) : TCollectionOf<TCopyRule>(Owner)
{
    Destinations.Strings.append(QStringLiteral("..."));
}

const TClassInfo& TCopyRules::ClassInfo() const
{
    using C = TCopyRules;
    static const TPropInfo Props[] = {
        OrdProp<C, &C::Enabled>("Enabled", K::Boolean, false, 0),
        StrProp<C, &C::DefaultFolder>("DefaultFolder", K::String),
        ObjProp<C, &C::Destinations>("Destinations"),
    };
    static const TClassInfo Info{"TCopyRules", Props};
    return Info;
}

void TCopyRules::Assign(const TPersistent& Source)
{
    if (const auto* S = dynamic_cast<const TCopyRules*>(&Source)) {
        if (S == this)
            return;
        Enabled = S->Enabled;
        DefaultFolder = S->DefaultFolder;
        Destinations.Assign(S->Destinations);
    }
    TCollection::Assign(Source);
}

TItem* TCopyRules::Item() const
{
    return static_cast<TItem*>(Owner());
}

// --- TShellAction ----------------------------------------------------------------------------

TShellAction::TShellAction()
{
    // A pre-copy step copies its files unless the author switched that off.
    PrecopyFiles.Enabled = true;
}

const TClassInfo& TShellAction::ClassInfo() const
{
    using C = TShellAction;
    static const TPropInfo Props[] = {
        StrProp<C, &C::ActionName>("ActionName", K::String),
        OrdProp<C, &C::ShellActionType>("ShellActionType", K::Enumeration, true, atShowMessage,
                                        &TShlActionTypeInfo),
        ObjProp<C, &C::Msg>("Msg"),
        StrProp<C, &C::OpenObject>("OpenObject", K::String),
        OrdProp<C, &C::ObjectType>("ObjectType", K::Enumeration, true, otFile, &TObjectTypeInfo),
        StrProp<C, &C::AppFile>("AppFile", K::String),
        StrProp<C, &C::AppParams>("AppParams", K::String),
        OrdProp<C, &C::CheckAssociation>("CheckAssociation", K::Boolean, true, 1),
        ObjProp<C, &C::PrecopyFiles>("PrecopyFiles"),
    };
    static const TClassInfo Info{"TShellAction", Props};
    return Info;
}

void TShellAction::Assign(const TPersistent& Source)
{
    const auto* S = dynamic_cast<const TShellAction*>(&Source);
    if (!S)
        return TPersistent::Assign(Source);
    ActionName = S->ActionName;
    ShellActionType = S->ShellActionType;
    Msg.Assign(S->Msg);
    OpenObject = S->OpenObject;
    ObjectType = S->ObjectType;
    AppFile = S->AppFile;
    AppParams = S->AppParams;
    CheckAssociation = S->CheckAssociation;
    PrecopyFiles.Assign(S->PrecopyFiles);
}

const TClassInfo& TShellActions::ClassInfo() const
{
    static const TClassInfo Info{"TShellActions", {}};
    return Info;
}

// --- TItemAction -----------------------------------------------------------------------------

const TClassInfo& TItemAction::ClassInfo() const
{
    using C = TItemAction;
    static const TPropInfo Props[] = {
        OrdProp<C, &C::Enabled>("Enabled", K::Boolean, true, 1),
        StrProp<C, &C::Description>("Description", K::String),
        OrdProp<C, &C::ImageIndex>("ImageIndex", K::Integer, true, -1),
        ObjProp<C, &C::ShellActions>("ShellActions"),
    };
    static const TClassInfo Info{"TItemAction", Props};
    return Info;
}

TItem* TItemAction::Item() const
{
    const auto* Actions = static_cast<const TItemActions*>(Collection());
    return Actions ? Actions->Item() : nullptr;
}

TItemActions::TItemActions(TItem* Owner) : TCollectionOf<TItemAction>(Owner) {}

const TClassInfo& TItemActions::ClassInfo() const
{
    static const TClassInfo Info{"TItemActions", {}};
    return Info;
}

TItem* TItemActions::Item() const
{
    return static_cast<TItem*>(Owner());
}

// --- TItem, TSItems --------------------------------------------------------------------------

TItem::~TItem()
{
    ItemActions.Unlink();
    CopyRules.Unlink();
}

const TClassInfo& TItem::ClassInfo() const
{
    using C = TItem;
    static const TPropInfo Props[] = {
        StrProp<C, &C::Name>("Name", K::String),
        StrProp<C, &C::Folder>("Folder", K::String),
        ObjProp<C, &C::ItemActions>("ItemActions"),
        ObjProp<C, &C::CopyRules>("CopyRules"),
        OrdProp<C, &C::ImageDefault>("ImageDefault", K::Integer, true, -1),
        OrdProp<C, &C::ImageSelected>("ImageSelected", K::Integer, true, -1),
        StrProp<C, &C::Description>("Description", K::WideString),
        ObjProp<C, &C::Screenshots>("Screenshots"),
    };
    static const TClassInfo Info{"TItem", Props};
    return Info;
}

TSection* TItem::Section() const
{
    const auto* Items = static_cast<const TSItems*>(Collection());
    return Items ? Items->Section() : nullptr;
}

TSItems::TSItems(TSection* Owner) : TCollectionOf<TItem>(Owner) {}

const TClassInfo& TSItems::ClassInfo() const
{
    static const TClassInfo Info{"TSItems", {}};
    return Info;
}

TSection* TSItems::Section() const
{
    return static_cast<TSection*>(Owner());
}

// --- TSection, TSections ---------------------------------------------------------------------

TSection::~TSection()
{
    SItems.Unlink();
}

const TClassInfo& TSection::ClassInfo() const
{
    using C = TSection;
    static const TPropInfo Props[] = {
        ObjProp<C, &C::SItems>("SItems"),
        StrProp<C, &C::Name>("Name", K::String),
        StrProp<C, &C::Folder>("Folder", K::String),
        OrdProp<C, &C::ImageDefault>("ImageDefault", K::Integer, true, -1),
        OrdProp<C, &C::ImageSelected>("ImageSelected", K::Integer, true, -1),
        StrProp<C, &C::WallpaperFile>("WallpaperFile", K::String),
        StrProp<C, &C::BackMusicFile>("BackMusicFile", K::String),
        StrProp<C, &C::Description>("Description", K::WideString),
        ObjProp<C, &C::Screenshots>("Screenshots"),
    };
    static const TClassInfo Info{"TSection", Props};
    return Info;
}

const TClassInfo& TSections::ClassInfo() const
{
    static const TClassInfo Info{"TSections", {}};
    return Info;
}

// --- TVeltraneProject ------------------------------------------------------------------------

TVeltraneProject::TVeltraneProject() = default;

TVeltraneProject::~TVeltraneProject()
{
    Pictures.Unlink();
}

const TClassInfo& TVeltraneProject::ClassInfo() const
{
    using C = TVeltraneProject;
    static const TPropInfo Props[] = {
        ComponentName(),
        OrdProp<C, &C::Tag>("Tag", K::Integer, true, 0),
        StrProp<C, &C::Folder>("Folder", K::String),
        ObjProp<C, &C::SplashScreen>("SplashScreen"),
        StrProp<C, &C::Title>("Title", K::String),
        ObjProp<C, &C::Creator>("Creator"),
        ObjProp<C, &C::Pictures>("Pictures"),
        ObjProp<C, &C::Sections>("Sections"),
    };
    static const TClassInfo Info{"TVeltraneProject", Props};
    return Info;
}

void TVeltraneProject::SetCreator(const TUserInfo& Value)
{
    Creator.SetInfo(Value.Name, Value.Company, Value.Email, Value.WWW);
    Creator.AuthorWords = Value.AuthorWords;
}

void TVeltraneProject::Assign(const TPersistent& Source)
{
    const auto* S = dynamic_cast<const TVeltraneProject*>(&Source);
    if (!S)
        return TPersistent::Assign(Source);
    if (S == this)
        return;
    LegacyFlag = S->LegacyFlag;
    ProgramVersion = S->ProgramVersion;
    Folder = S->Folder;
    Title = S->Title;
    SetCreator(S->Creator);
    Pictures.Assign(S->Pictures);
    Sections.Assign(S->Sections);
    SplashScreen.Assign(S->SplashScreen);
}
