#include "model/Persistent.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

bool SameTextAscii(QByteArrayView A, const char* B)
{
    const qsizetype N = A.size();
    for (qsizetype I = 0; I < N; ++I) {
        char X = A[I];
        char Y = B[I];
        if (Y == 0)
            return false;
        if (X >= 'A' && X <= 'Z')
            X = static_cast<char>(X + 32);
        if (Y >= 'A' && Y <= 'Z')
            Y = static_cast<char>(Y + 32);
        if (X != Y)
            return false;
    }
    return B[N] == 0;
}

} // namespace

EConvertError::EConvertError(const QString& Message) : std::runtime_error(Message.toStdString()) {}

int TEnumInfo::ValueOf(QByteArrayView Name) const
{
    for (size_t I = 0; I < Names.size(); ++I)
        if (SameTextAscii(Name, Names[I]))
            return static_cast<int>(I);
    return -1;
}

QString TEnumInfo::NameOf(qint64 Ordinal) const
{
    if (Ordinal >= 0 && static_cast<size_t>(Ordinal) < Names.size())
        return QString::fromLatin1(Names[static_cast<size_t>(Ordinal)]);
    return QString::number(Ordinal);
}

const TPropInfo* TClassInfo::FindProp(QByteArrayView Name) const
{
    for (const TPropInfo& P : Props)
        if (SameTextAscii(Name, P.Name))
            return &P;
    return nullptr;
}

void TPersistent::Assign(const TPersistent& Source)
{
    AssignError(Source);
}

void TPersistent::AssignError(const TPersistent& Source) const
{
    throw EConvertError(u"Cannot assign a %1 to a %2"_s.arg(Source.ClassName(), ClassName()));
}

bool IsValidIdent(QStringView Ident)
{
    if (Ident.isEmpty())
        return false;
    auto IsAlpha = [](QChar C) {
        const char16_t U = C.unicode();
        return (U >= u'A' && U <= u'Z') || (U >= u'a' && U <= u'z') || U == u'_';
    };
    if (!IsAlpha(Ident[0]))
        return false;
    return std::all_of(Ident.begin() + 1, Ident.end(), [&](QChar C) {
        return IsAlpha(C) || (C.unicode() >= u'0' && C.unicode() <= u'9');
    });
}

void TComponent::SetName(const QString& NewName)
{
    // An empty name is allowed: a component need not be named.
    if (!NewName.isEmpty() && !IsValidIdent(NewName))
        throw EConvertError(u"''%1'' is not a valid component name"_s.arg(NewName));
    Name = NewName;
}

int TCollectionItem::Index() const
{
    if (!FCollection)
        return -1;
    for (int I = 0; I < FCollection->Count(); ++I)
        if (&FCollection->ItemAt(I) == this)
            return I;
    return -1;
}

TCollection::~TCollection()
{
    Clear();
}

TCollectionItem& TCollection::AddItem()
{
    std::unique_ptr<TCollectionItem> Item = CreateItem();
    Item->FCollection = this;
    FItems.push_back(std::move(Item));
    return *FItems.back();
}

void TCollection::Delete(int Index)
{
    if (Index < 0 || Index >= Count())
        return;
    std::unique_ptr<TCollectionItem> Item = std::move(FItems[static_cast<size_t>(Index)]);
    FItems.erase(FItems.begin() + Index);
    Item->FCollection = nullptr;
}

void TCollection::Clear()
{
    // Items are unlinked before they are freed, so none can reach a list that is being emptied.
    std::vector<std::unique_ptr<TCollectionItem>> Old;
    Old.swap(FItems);
    for (auto& Item : Old)
        Item->FCollection = nullptr;
    Old.clear();
}

void TCollection::Assign(const TPersistent& Source)
{
    const auto* Src = dynamic_cast<const TCollection*>(&Source);
    if (!Src) {
        TPersistent::Assign(Source);
        return;
    }
    if (Src == this)
        return;
    Clear();
    FItems.reserve(static_cast<size_t>(Src->Count()));
    for (int I = 0; I < Src->Count(); ++I)
        AddItem().Assign(Src->ItemAt(I));
}

const TClassInfo& TStrings::ClassInfo() const
{
    static const TClassInfo Info{"TStrings", {}};
    return Info;
}

void TStrings::Assign(const TPersistent& Source)
{
    if (const auto* Src = dynamic_cast<const TStrings*>(&Source)) {
        Strings = Src->Strings;
        return;
    }
    TPersistent::Assign(Source);
}

const TClassInfo& TIcon::ClassInfo() const
{
    static const TClassInfo Info{"TIcon", {}};
    return Info;
}

void TIcon::Assign(const TPersistent& Source)
{
    if (const auto* Src = dynamic_cast<const TIcon*>(&Source)) {
        Data = Src->Data;
        return;
    }
    if (const auto* Pic = dynamic_cast<const TLegacyPicture*>(&Source)) {
        // A picture that holds no icon gives an empty icon.
        Data = Pic->GraphicClass == u"TIcon"_s ? Pic->Data : QByteArray();
        return;
    }
    TPersistent::Assign(Source);
}

const TClassInfo& TLegacyPicture::ClassInfo() const
{
    static const TClassInfo Info{"TPicture", {}};
    return Info;
}

void TLegacyPicture::Assign(const TPersistent& Source)
{
    if (const auto* Src = dynamic_cast<const TLegacyPicture*>(&Source)) {
        GraphicClass = Src->GraphicClass;
        Data = Src->Data;
        return;
    }
    if (const auto* Ico = dynamic_cast<const TIcon*>(&Source)) {
        GraphicClass = Ico->Empty() ? QString() : u"TIcon"_s;
        Data = Ico->Data;
        return;
    }
    TPersistent::Assign(Source);
}
