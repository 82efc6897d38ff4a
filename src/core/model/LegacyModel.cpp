#include "model/LegacyModel.h"

#include "model/PropTable.h"

using namespace PropTable;
using K = TTypeKind;

namespace Legacy {

namespace {
const char* const ExecTypeNames[] = {"etOSExecuting", "etExecuteApp", "etInstallApp"};
const char* const FileTypeNames[] = {"ftAnyfile", "ftExecutable", "ftMusic", "ftImage", "ftText", "ftScrSaver"};
} // namespace

const TEnumInfo TExecTypeInfo{"TExecType", ExecTypeNames};
const TEnumInfo TFileTypeInfo{"TFileType", FileTypeNames};

const TClassInfo& TPic::ClassInfo() const
{
    using C = TPic;
    static const TPropInfo Props[] = {
        ObjProp<C, &C::Picture>("Picture"),
        OrdProp<C, &C::PicId>("PicId", K::Integer, true, 0),
        OrdProp<C, &C::DependsCount>("DependsCount", K::Integer, true, 0),
        StrProp<C, &C::PictureName>("PictureName", K::String),
        OrdProp<C, &C::isIcon>("isIcon", K::Boolean, false, 0),
    };
    static const TClassInfo Info{"TPic", Props};
    return Info;
}

void TPic::Assign(const TPersistent& Source)
{
    const auto* S = dynamic_cast<const TPic*>(&Source);
    if (!S)
        return TPersistent::Assign(Source);
    Picture.Assign(S->Picture);
    PicId = S->PicId;
    PictureName = S->PictureName;
    isIcon = S->isIcon;
}

const TClassInfo& TPictures::ClassInfo() const
{
    static const TClassInfo Info{"TPictures", {}};
    return Info;
}

const TClassInfo& TFileExecuting::ClassInfo() const
{
    using C = TFileExecuting;
    static const TPropInfo Props[] = {
        StrProp<C, &C::ExecApplication>("ExecApplication", K::String),
        StrProp<C, &C::InstApplication>("InstApplication", K::String),
        StrProp<C, &C::ExecParams>("ExecParams", K::String),
        StrProp<C, &C::InstParams>("InstParams", K::String),
        OrdProp<C, &C::FileExecutingType>("FileExecutingType", K::Enumeration, true, etOSExecuting,
                                          &TExecTypeInfo),
    };
    static const TClassInfo Info{"TFileExecuting", Props};
    return Info;
}

void TFileExecuting::Assign(const TPersistent& Source)
{
    const auto* S = dynamic_cast<const TFileExecuting*>(&Source);
    if (!S)
        return TPersistent::Assign(Source);
    ExecApplication = S->ExecApplication;
    InstApplication = S->InstApplication;
    ExecParams = S->ExecParams;
    InstParams = S->InstParams;
    FileExecutingType = S->FileExecutingType;
}

const TClassInfo& TItemFile::ClassInfo() const
{
    using C = TItemFile;
    static const TPropInfo Props[] = {
        StrProp<C, &C::ItemFile>("ItemFile", K::String),
        StrProp<C, &C::ItemFile_Name>("ItemFile_Name", K::String),
        OrdProp<C, &C::isMain>("isMain", K::Boolean, true, 0),
        OrdProp<C, &C::FileType>("FileType", K::Enumeration, true, ftAnyfile, &TFileTypeInfo),
        ObjProp<C, &C::FileExectType>("FileExectType"),
    };
    static const TClassInfo Info{"TItemFile", Props};
    return Info;
}

void TItemFile::Assign(const TPersistent& Source)
{
    const auto* S = dynamic_cast<const TItemFile*>(&Source);
    if (!S)
        return TPersistent::Assign(Source);
    ItemFile = S->ItemFile;
    ItemFile_Name = S->ItemFile_Name;
    isMain = S->isMain;
    FileType = S->FileType;
    FileExectType.Assign(S->FileExectType);
}

const TClassInfo& TFiles::ClassInfo() const
{
    static const TClassInfo Info{"TFiles", {}};
    return Info;
}

const TClassInfo& TItemStruct::ClassInfo() const
{
    using C = TItemStruct;
    static const TPropInfo Props[] = {
        StrProp<C, &C::ItemName>("ItemName", K::String),
        StrProp<C, &C::ItemDir>("ItemDir", K::String),
        ObjProp<C, &C::Files>("Files"),
        OrdProp<C, &C::CopyMode>("CopyMode", K::Byte, true, 0),
        OrdProp<C, &C::ImgDefault>("ImgDefault", K::Integer, false, 0),
        OrdProp<C, &C::ImgSelected>("ImgSelected", K::Integer, false, 0),
        StrProp<C, &C::Description>("Description", K::WideString),
    };
    static const TClassInfo Info{"TItemStruct", Props};
    return Info;
}

void TItemStruct::Assign(const TPersistent& Source)
{
    const auto* S = dynamic_cast<const TItemStruct*>(&Source);
    if (!S)
        return TPersistent::Assign(Source);
    ItemName = S->ItemName;
    ItemDir = S->ItemDir;
    Files.Assign(S->Files);
    CopyMode = S->CopyMode;
    ImgDefault = S->ImgDefault;
    ImgSelected = S->ImgSelected;
    Description = S->Description;
}

const TClassInfo& TSItems::ClassInfo() const
{
    static const TClassInfo Info{"TSItems", {}};
    return Info;
}

const TClassInfo& TSectionStruct::ClassInfo() const
{
    using C = TSectionStruct;
    static const TPropInfo Props[] = {
        ObjProp<C, &C::SItems>("SItems"),
        StrProp<C, &C::SectionName>("SectionName", K::String),
        StrProp<C, &C::SectionDir>("SectionDir", K::String),
        OrdProp<C, &C::ImgDefault>("ImgDefault", K::Integer, true, 0),
        OrdProp<C, &C::ImgSelected>("ImgSelected", K::Integer, true, 0),
        StrProp<C, &C::WallpaperFile>("WallpaperFile", K::String),
        StrProp<C, &C::BackMusicFile>("BackMusicFile", K::String),
        StrProp<C, &C::Description>("Description", K::WideString),
    };
    static const TClassInfo Info{"TSectionStruct", Props};
    return Info;
}

void TSectionStruct::Assign(const TPersistent& Source)
{
    const auto* S = dynamic_cast<const TSectionStruct*>(&Source);
    if (!S)
        return TPersistent::Assign(Source);
    SItems.Assign(S->SItems);
    SectionName = S->SectionName;
    SectionDir = S->SectionDir;
    ImgDefault = S->ImgDefault;
    ImgSelected = S->ImgSelected;
    WallpaperFile = S->WallpaperFile;
    BackMusicFile = S->BackMusicFile;
    Description = S->Description;
}

const TClassInfo& TSections::ClassInfo() const
{
    static const TClassInfo Info{"TSections", {}};
    return Info;
}

namespace {

TPropInfo IdProp()
{
    TPropInfo P{};
    P.Name = "ID";
    P.Kind = TTypeKind::Byte;
    P.HasDefault = true;
    P.Default = TVeltrane::ID;
    P.Stored = false;
    P.ReadOnly = true;
    P.GetOrd = [](const TPersistent&) -> qint64 { return TVeltrane::ID; };
    P.SetOrd = [](TPersistent&, qint64) {};
    return P;
}

} // namespace

const TClassInfo& TVeltrane::ClassInfo() const
{
    using C = TVeltrane;
    static const TPropInfo Props[] = {
        ComponentName(),
        OrdProp<C, &C::Tag>("Tag", K::Integer, true, 0),
        IdProp(),
        StrProp<C, &C::ProjectPath>("ProjectPath", K::String),
        OrdProp<C, &C::SplashTime>("SplashTime", K::Smallint, false, 0),
        ObjProp<C, &C::UserInfo>("UserInfo"),
        ObjProp<C, &C::PicturesList>("PicturesList"),
        ObjProp<C, &C::Sections>("Sections"),
    };
    static const TClassInfo Info{"TVeltrane", Props};
    return Info;
}

int FindPicture(const TPictures& List, qint32 Id)
{
    for (int I = 0; I < List.Count(); ++I)
        if (List.Items(I).PicId == Id)
            return I;
    return -1;
}

} // namespace Legacy
