#pragma once

// Helpers for writing a class's property table next to its definition. Private to the model's
// .cpp files. Each helper makes one TPropInfo whose accessors reach the named public field.

#include "model/Persistent.h"

#include <type_traits>

namespace PropTable {

template <class C, auto Field>
TPropInfo OrdProp(const char* Name, TTypeKind Kind, bool HasDefault, qint32 Default,
                  const TEnumInfo* Enum = nullptr)
{
    TPropInfo P{};
    P.Name = Name;
    P.Kind = Kind;
    P.HasDefault = HasDefault;
    P.Default = Default;
    P.Enum = Enum;
    P.GetOrd = [](const TPersistent& O) -> qint64 { return static_cast<qint64>(static_cast<const C&>(O).*Field); };
    P.SetOrd = [](TPersistent& O, qint64 V) {
        using FieldT = std::remove_cvref_t<decltype(static_cast<C&>(O).*Field)>;
        // Stored like the framework stores ordinal properties: truncated to the field's size.
        if constexpr (std::is_same_v<FieldT, bool>)
            static_cast<C&>(O).*Field = V != 0;
        else if constexpr (std::is_enum_v<FieldT>)
            static_cast<C&>(O).*Field = static_cast<FieldT>(V);
        else
            static_cast<C&>(O).*Field = static_cast<FieldT>(V);
    };
    return P;
}

template <class C, auto Field>
TPropInfo StrProp(const char* Name, TTypeKind Kind)
{
    TPropInfo P{};
    P.Name = Name;
    P.Kind = Kind;
    P.GetStr = [](const TPersistent& O) -> const QString& { return static_cast<const C&>(O).*Field; };
    P.SetStr = [](TPersistent& O, QString&& V) { static_cast<C&>(O).*Field = std::move(V); };
    return P;
}

template <class C, auto Field>
TPropInfo ObjProp(const char* Name)
{
    TPropInfo P{};
    P.Name = Name;
    P.Kind = TTypeKind::Class;
    P.GetObj = [](TPersistent& O) -> TPersistent* { return &(static_cast<C&>(O).*Field); };
    return P;
}

// The component name: published by the component base class but never written; a stream may still
// carry it, and then it must be a valid identifier.
inline TPropInfo ComponentName()
{
    TPropInfo P{};
    P.Name = "Name";
    P.Kind = TTypeKind::String;
    P.Stored = false;
    P.GetStr = [](const TPersistent& O) -> const QString& { return static_cast<const TComponent&>(O).Name; };
    P.SetStr = [](TPersistent& O, QString&& V) { static_cast<TComponent&>(O).SetName(V); };
    return P;
}

} // namespace PropTable
