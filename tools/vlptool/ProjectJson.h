#pragma once

#include "model/Persistent.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

// The JSON form of projects (current and legacy) and the two operations of the project tool built on
// it. Both directions walk the property tables, so every published property appears without a
// per-class list:
// - ordinal properties are numbers, Booleans booleans, enumerations their value names, texts strings;
// - a plain nested object is a JSON object of its properties;
// - a collection is an array of its items, or, when the collection has properties of its own, an
//   object of those properties with the items under "Items";
// - a string list is an array of its lines;
// - an icon is {Bytes, Sha256, Entries} (+ Base64), a picture {Class, Bytes, Sha256} (+ Base64).
// When reading JSON, a property that is left out keeps its constructor value, an icon or picture is
// given by "Base64" or by "File" (relative to the JSON file's folder), and every error names the
// property's path and the reason: "Sections[0].SItems[1].ImageDefault: expected an integer".

namespace ProjectJson {

// Every published property of Object (also those never streamed, such as the component name).
// WithData adds "Base64" to icons and pictures.
QJsonObject ToJson(const TPersistent& Object, bool WithData = false);

// Applies the properties Json gives to Object. BaseDir is the folder that "File" paths are relative
// to. Returns false with *Error set at the first error; Object may then be partly filled.
bool FromJson(const QJsonObject& Json, TPersistent& Object, const QString& BaseDir, QString* Error);

// What "vlptool dump" prints: the load result and the project (and for a ".apr" file the legacy
// project). Loaded tells whether the file loaded (exit code 0) or not (exit code 1); Error then holds
// the loader's reason, which the JSON form does not carry.
struct TDumpResult
{
    QJsonObject Json;
    bool Loaded = false;
    QString Error;
};
TDumpResult DumpFile(const QString& FileName, bool WithData);

struct TBuildOptions
{
    quint32 Version;     // header version, packed as PackVersion does
    bool Legacy = false; // a legacy file: the legacy form, no header
};
// The version "vlptool build" writes unless told otherwise: the program's own.
quint32 DefaultVersion();
// Parses "X.Y.Z" (each 0-255) into the packed header version.
bool ParseVersion(const QString& Text, quint32* Version);

// Compiles a JSON object of the project form (or of the legacy form) into a file's bytes. The object
// may also be a whole "dump" output; its "project" (or "legacy") member is taken then.
bool BuildBytes(const QJsonObject& Json, const QString& BaseDir, const TBuildOptions& Options,
                QByteArray& Out, QString* Error);
// Reads JsonFile, compiles it and writes OutFile; OutFile is left untouched on any error.
bool BuildFile(const QString& JsonFile, const QString& OutFile, const TBuildOptions& Options, QString* Error);

} // namespace ProjectJson
