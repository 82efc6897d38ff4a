#pragma once

#include "model/Persistent.h"
#include "model/Project.h"

#include <QByteArray>
#include <QString>

// Writes a component stream ("TPF0", one object record) the way the design tool writes one, walking
// only the property tables: properties in published order, declared defaults and empty texts left
// out, the smallest integer tag, nested objects as dotted names, collections with tag 14.
//
// Texts of String properties and string-list lines are written in Windows-1251; a text that code
// page cannot hold is written as a WideString would be (UTF-8 or UTF-16, the shorter), which the
// reader takes for any string, never with a silent '?'. Errors name the property's path
// ("Sections[2].SItems[0].Tag: ..."): collection items by index; the items of a collection that has
// properties of its own are under "Items" ("CopyRules.Items[0].Destination"), and string-list lines
// by index ("CopyRules.Destinations[1]").

// Writes Root as a complete stream into Out. On failure Out is emptied and *Error (if given) says why.
bool WriteComponent(const TComponent& Root, QByteArray& Out, QString* Error = nullptr);

// Writes a structure file: the 16-byte header (signature, Version as packed by PackVersion, four
// reserved zero bytes) followed by the project's stream.
bool WriteStructureFile(const TVeltraneProject& Project, quint32 Version, QByteArray& Out,
                        QString* Error = nullptr);
