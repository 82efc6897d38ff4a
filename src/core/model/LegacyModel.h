#pragma once

#include "model/Persistent.h"
#include "model/Project.h"

// The model of the earlier design tool's files: a TVeltrane root with sections, items and a list of
// files per item. It is only read and then converted into a TVeltraneProject.

namespace Legacy {

enum TExecType { etOSExecuting, etExecuteApp, etInstallApp };
enum TFileType { ftAnyfile, ftExecutable, ftMusic, ftImage, ftText, ftScrSaver };

extern const TEnumInfo TExecTypeInfo;
extern const TEnumInfo TFileTypeInfo;

class TPic : public TCollectionItem
{
public:
    TLegacyPicture Picture;
    qint32 PicId = 0;
    qint32 DependsCount = 0;
    QString PictureName;
    bool isIcon = false;

    const TClassInfo& ClassInfo() const override;
    // Copies everything except DependsCount.
    void Assign(const TPersistent& Source) override;
};

class TPictures : public TCollectionOf<TPic>
{
public:
    const TClassInfo& ClassInfo() const override;
};

class TFileExecuting : public TPersistent
{
public:
    QString ExecApplication;
    QString InstApplication;
    QString ExecParams;
    QString InstParams;
    TExecType FileExecutingType = etOSExecuting;

    const TClassInfo& ClassInfo() const override;
    void Assign(const TPersistent& Source) override;
};

class TItemFile : public TCollectionItem
{
public:
    QString ItemFile;
    QString ItemFile_Name;
    bool isMain = false;
    TFileType FileType = ftAnyfile;
    TFileExecuting FileExectType;

    const TClassInfo& ClassInfo() const override;
    void Assign(const TPersistent& Source) override;
};

class TFiles : public TCollectionOf<TItemFile>
{
public:
    const TClassInfo& ClassInfo() const override;
};

class TItemStruct : public TCollectionItem
{
public:
    QString ItemName;
    QString ItemDir;
    TFiles Files;
    quint8 CopyMode = 0; // 0 no copying, 1 the listed files, 2 the whole item folder
    qint32 ImgDefault = 0;
    qint32 ImgSelected = 0;
    QString Description;

    const TClassInfo& ClassInfo() const override;
    void Assign(const TPersistent& Source) override;
};

class TSItems : public TCollectionOf<TItemStruct>
{
public:
    const TClassInfo& ClassInfo() const override;
};

class TSectionStruct : public TCollectionItem
{
public:
    TSItems SItems;
    QString SectionName;
    QString SectionDir;
    qint32 ImgDefault = 0;
    qint32 ImgSelected = 0;
    QString WallpaperFile;
    QString BackMusicFile;
    QString Description;

    const TClassInfo& ClassInfo() const override;
    void Assign(const TPersistent& Source) override;
};

class TSections : public TCollectionOf<TSectionStruct>
{
public:
    const TClassInfo& ClassInfo() const override;
};

// Root of a legacy file. It has no Assign of its own.
class TVeltrane : public TComponent
{
public:
    static constexpr quint8 ID = 5; // read-only; not carried by the stream
    QString ProjectPath;
    qint16 SplashTime = 0;
    TUserInfo UserInfo;
    TPictures PicturesList;
    TSections Sections;

    const TClassInfo& ClassInfo() const override;
};

// Index of the first picture whose PicId equals Id, or -1.
int FindPicture(const TPictures& List, qint32 Id);

} // namespace Legacy
