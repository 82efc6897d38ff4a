#pragma once

#include "model/Persistent.h"

// The in-memory project: TVeltraneProject and everything it owns. Fields carry the published
// properties' names; constructors set the declared defaults.

namespace Legacy {
class TVeltrane;
}

enum TShlActionType { atShowMessage, atOpenObject, atExecute, atInstall, atPrecopyFiles };
enum TObjectType { otFile, otExecutable, otMusic, otImage, otText, otFolder };
enum TMsgIconType { itSystemIcon, itProjectIcon };

extern const TEnumInfo TShlActionTypeInfo;
extern const TEnumInfo TObjectTypeInfo;
extern const TEnumInfo TMsgIconTypeInfo;

class TVeltraneProject;
class TItem;
class TSection;

class TSplashScreen : public TPersistent
{
public:
    QString ImageFileName;
    quint16 ShowTime = 3;
    qint32 InfoLeft = 0;
    qint32 InfoTop = 0;
    bool ShowName = true;
    bool ShowCompany = true;
    bool ShowMail = false;
    bool ShowWebpage = false;

    const TClassInfo& ClassInfo() const override;
    void Assign(const TPersistent& Source) override;
};

// The disc author. Copied field by field with SetInfo; it has no Assign of its own.
class TUserInfo : public TPersistent
{
public:
    QString Name;
    QString Company;
    QString Email;
    QString WWW;
    QString AuthorWords;

    const TClassInfo& ClassInfo() const override;
    void SetInfo(const QString& AName, const QString& ACompany, const QString& AEmail, const QString& AWWW);
};

class TPic : public TCollectionItem
{
public:
    TIcon Icon;
    QString Name;
    QString CategoryName;

    const TClassInfo& ClassInfo() const override;
    // Also takes a legacy picture: its icon (empty when it holds none) and its name.
    void Assign(const TPersistent& Source) override;
};

class TPictures : public TCollectionOf<TPic>
{
public:
    explicit TPictures(TVeltraneProject* Owner = nullptr);
    const TClassInfo& ClassInfo() const override;
    TVeltraneProject* Project() const;

private:
    friend class TVeltraneProject;
};

class TScreenshot : public TCollectionItem
{
public:
    QString FileName;

    const TClassInfo& ClassInfo() const override;
    void Assign(const TPersistent& Source) override;
};

class TScreenshots : public TCollectionOf<TScreenshot>
{
public:
    const TClassInfo& ClassInfo() const override;
};

class TActionMsg : public TPersistent
{
public:
    qint32 IconIndex = 64;
    TMsgIconType IconType = itSystemIcon;
    QString Text;

    const TClassInfo& ClassInfo() const override;
    void Assign(const TPersistent& Source) override;
};

class TCopyRule : public TCollectionItem
{
public:
    bool Enabled = true;
    QString CopyingObject;
    QString Destination;

    const TClassInfo& ClassInfo() const override;
    void Assign(const TPersistent& Source) override;
};

class TCopyRules : public TCollectionOf<TCopyRule>
{
public:
    bool Enabled = false;
    QString DefaultFolder;
    TStrings Destinations;

    explicit TCopyRules(TItem* Owner = nullptr);
    const TClassInfo& ClassInfo() const override;
    // Copies Enabled, DefaultFolder and Destinations, then the rules.
    void Assign(const TPersistent& Source) override;
    TItem* Item() const;

private:
    friend class TItem;
};

class TShellAction : public TCollectionItem
{
public:
    QString ActionName;
    TShlActionType ShellActionType = atShowMessage;
    TActionMsg Msg;
    QString OpenObject;
    TObjectType ObjectType = otFile;
    QString AppFile;
    QString AppParams;
    bool CheckAssociation = true;
    TCopyRules PrecopyFiles;

    TShellAction();
    const TClassInfo& ClassInfo() const override;
    void Assign(const TPersistent& Source) override;
};

class TShellActions : public TCollectionOf<TShellAction>
{
public:
    const TClassInfo& ClassInfo() const override;
};

class TItemAction : public TCollectionItem
{
public:
    bool Enabled = true;
    QString Description;
    qint32 ImageIndex = -1;
    TShellActions ShellActions;

    const TClassInfo& ClassInfo() const override;
    // Also takes a legacy file entry: one action with one step.
    void Assign(const TPersistent& Source) override;
    // The item that owns this action, or nullptr.
    TItem* Item() const;
};

class TItemActions : public TCollectionOf<TItemAction>
{
public:
    explicit TItemActions(TItem* Owner = nullptr);
    const TClassInfo& ClassInfo() const override;
    TItem* Item() const;

private:
    friend class TItem;
};

class TItem : public TCollectionItem
{
public:
    QString Name;
    QString Folder;
    TItemActions ItemActions{this};
    TCopyRules CopyRules{this};
    qint32 ImageDefault = -1;
    qint32 ImageSelected = -1;
    QString Description;
    TScreenshots Screenshots;

    ~TItem() override;
    const TClassInfo& ClassInfo() const override;
    // Also takes a legacy item (its files become actions).
    void Assign(const TPersistent& Source) override;
    // The section that owns this item, or nullptr.
    TSection* Section() const;
};

class TSItems : public TCollectionOf<TItem>
{
public:
    explicit TSItems(TSection* Owner = nullptr);
    const TClassInfo& ClassInfo() const override;
    TSection* Section() const;

private:
    friend class TSection;
};

class TSection : public TCollectionItem
{
public:
    TSItems SItems{this};
    QString Name;
    QString Folder;
    qint32 ImageDefault = -1;
    qint32 ImageSelected = -1;
    QString WallpaperFile;
    QString BackMusicFile;
    QString Description;
    TScreenshots Screenshots;

    ~TSection() override;
    const TClassInfo& ClassInfo() const override;
    // Also takes a legacy section.
    void Assign(const TPersistent& Source) override;
};

class TSections : public TCollectionOf<TSection>
{
public:
    const TClassInfo& ClassInfo() const override;
};

// The program's version as the loader compares it: major, minor, release.
struct TProgramVersion
{
    quint8 Major = 0;
    quint8 Minor = 0;
    quint8 Release = 0;
};

// Result codes of LoadFromFile.
enum TLoadResult : int {
    lrLoaded = 0,
    lrNewerVersion = 256,  // the file was written by a newer design tool
    lrReadError = 768,     // the component stream could not be read
    lrWrongSignature = 1024,
    lrNoAccess = 1280      // the file cannot be opened for reading
};

class TVeltraneProject : public TComponent
{
public:
    QString Folder;
    TSplashScreen SplashScreen;
    QString Title;
    TUserInfo Creator;
    TPictures Pictures{this};
    TSections Sections;

    // Not published.
    qint64 Signature = 0;
    quint32 FileVersion = 0;
    TProgramVersion ProgramVersion;
    bool LegacyFlag = false;
    // What went wrong in the last LoadFromFile, for tools and logs; never shown to the user.
    QString LastError;

    TVeltraneProject();
    ~TVeltraneProject() override;
    const TClassInfo& ClassInfo() const override;
    void Assign(const TPersistent& Source) override;

    void SetSplashScreen(const TSplashScreen& Value) { SplashScreen.Assign(Value); }
    void SetCreator(const TUserInfo& Value);

    // Fills this project from a structure file; returns a TLoadResult code.
    int LoadFromFile(const QString& FileName);
    // Fills this project from a legacy project that was read from a legacy file.
    void ConvertLegacy(const Legacy::TVeltrane& Legacy);
};
