#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <memory>
#include <span>
#include <stdexcept>
#include <vector>

// The persistence framework the project model is built on: classes with published properties in a
// fixed order and declared defaults, collections that own their items, and Assign for copying.
// The property tables are what the component stream reader and writer walk.

class TPersistent;
class TCollection;

// Raised when Assign is given a source of an unrelated class.
class EConvertError : public std::runtime_error
{
public:
    explicit EConvertError(const QString& Message);
    QString Message() const { return QString::fromUtf8(what()); }
};

enum class TTypeKind : quint8 {
    Integer,     // 32-bit signed
    Word,        // 16-bit unsigned
    Smallint,    // 16-bit signed
    Byte,        // 8-bit unsigned
    Boolean,
    Enumeration, // stored by value name
    String,      // ANSI string in the stream
    WideString,  // Unicode string in the stream
    Class        // an owned object: plain persistent, collection, string list or graphic
};

// Names of an enumeration's values, indexed by ordinal.
struct TEnumInfo
{
    const char* TypeName;
    std::span<const char* const> Names;

    // Ordinal of the value called Name (compared without regard to case), or -1.
    int ValueOf(QByteArrayView Name) const;
    QString NameOf(qint64 Ordinal) const;
};

struct TPropInfo
{
    const char* Name;
    TTypeKind Kind;
    bool HasDefault = false;  // declared default: the writer leaves the value out when equal
    qint32 Default = 0;       // for ordinal kinds
    bool Stored = true;       // false: never written (Name, the legacy ID)
    bool ReadOnly = false;    // reading it from a stream is an error
    const TEnumInfo* Enum = nullptr;
    qint64 (*GetOrd)(const TPersistent&) = nullptr;
    void (*SetOrd)(TPersistent&, qint64) = nullptr;
    const QString& (*GetStr)(const TPersistent&) = nullptr;
    void (*SetStr)(TPersistent&, QString&&) = nullptr;
    TPersistent* (*GetObj)(TPersistent&) = nullptr;

    bool IsOrdinal() const { return Kind <= TTypeKind::Enumeration; }
    bool IsText() const { return Kind == TTypeKind::String || Kind == TTypeKind::WideString; }
    const TPersistent& Object(const TPersistent& Instance) const
    {
        return *GetObj(const_cast<TPersistent&>(Instance));
    }
};

struct TClassInfo
{
    const char* ClassName;
    std::span<const TPropInfo> Props;

    // The published property called Name, compared without regard to case, or nullptr.
    const TPropInfo* FindProp(QByteArrayView Name) const;
};

// What kind of owned object a class-typed property holds; decides how it is streamed.
enum class TObjectKind : quint8 { Plain, Collection, Strings, Icon, Picture };

class TPersistent
{
public:
    TPersistent() = default;
    TPersistent(const TPersistent&) = delete;
    TPersistent& operator=(const TPersistent&) = delete;
    virtual ~TPersistent() = default;

    virtual const TClassInfo& ClassInfo() const = 0;
    virtual TObjectKind ObjectKind() const { return TObjectKind::Plain; }
    QString ClassName() const { return QString::fromLatin1(ClassInfo().ClassName); }

    // Copies the contents of Source. A source of an unrelated class raises EConvertError.
    virtual void Assign(const TPersistent& Source);

protected:
    [[noreturn]] void AssignError(const TPersistent& Source) const;
};

// A named, ownable object: the root of a stream.
class TComponent : public TPersistent
{
public:
    QString Name;
    qint32 Tag = 0;

    // Gives the component its name; a name that is not a valid identifier raises EConvertError.
    void SetName(const QString& NewName);
};

bool IsValidIdent(QStringView Ident);

class TCollectionItem : public TPersistent
{
public:
    TCollection* Collection() const { return FCollection; }
    int Index() const;

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
};

// An ordered list that owns its items, all of one item class.
class TCollection : public TPersistent
{
public:
    ~TCollection() override;
    TObjectKind ObjectKind() const override { return TObjectKind::Collection; }

    int Count() const { return static_cast<int>(FItems.size()); }
    TCollectionItem& ItemAt(int Index) const { return *FItems.at(static_cast<size_t>(Index)); }
    TCollectionItem& AddItem();
    void Delete(int Index);
    void Clear();
    // Clears, then adds one item per source item and assigns it from that item, in order.
    // Accepts any collection; the items decide whether they can take the source's items.
    void Assign(const TPersistent& Source) override;

    // The object that owns the collection, when it is linked to one.
    TPersistent* Owner() const { return FOwner; }

protected:
    explicit TCollection(TPersistent* Owner = nullptr) : FOwner(Owner) {}
    virtual std::unique_ptr<TCollectionItem> CreateItem() const = 0;
    // The owner clears the link in its destructor, before its members are freed.
    void Unlink() { FOwner = nullptr; }

private:
    std::vector<std::unique_ptr<TCollectionItem>> FItems;
    TPersistent* FOwner = nullptr;
};

// Typed access to a collection of ItemT.
template <class ItemT>
class TCollectionOf : public TCollection
{
public:
    using TCollection::TCollection;
    ItemT& Items(int Index) const { return static_cast<ItemT&>(ItemAt(Index)); }
    ItemT& Add() { return static_cast<ItemT&>(AddItem()); }

protected:
    std::unique_ptr<TCollectionItem> CreateItem() const override { return std::make_unique<ItemT>(); }
};

// A list of text lines; streamed as the extra property "Strings".
class TStrings : public TPersistent
{
public:
    QStringList Strings;

    const TClassInfo& ClassInfo() const override;
    TObjectKind ObjectKind() const override { return TObjectKind::Strings; }
    void Assign(const TPersistent& Source) override;
};

// A Windows icon held as the complete image of an icon file; streamed as the extra property "Data".
class TIcon : public TPersistent
{
public:
    QByteArray Data;

    const TClassInfo& ClassInfo() const override;
    TObjectKind ObjectKind() const override { return TObjectKind::Icon; }
    void Assign(const TPersistent& Source) override;
    bool Empty() const { return Data.isEmpty(); }
};

// A picture of any graphic class (legacy model): the class name and that class's own data.
// Only icons and bitmaps are known; any other class leaves the picture empty. Streamed under the
// class name "TPicture"; the C++ name differs from the controls' picture class (ui/framework), which
// is linked into the same program.
class TLegacyPicture : public TPersistent
{
public:
    QString GraphicClass; // "TIcon", "TBitmap", or empty
    QByteArray Data;      // the icon file image, or the BMP file

    const TClassInfo& ClassInfo() const override;
    TObjectKind ObjectKind() const override { return TObjectKind::Picture; }
    void Assign(const TPersistent& Source) override;
    bool Empty() const { return GraphicClass.isEmpty(); }
};
