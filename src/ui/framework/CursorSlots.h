#pragma once

#include <QCursor>
#include <QList>
#include <QObject>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <optional>

// The program's cursors. Controls name a cursor by a 16-bit id, as the screen's cursor table does:
// the standard cursors have ids 0 and below, and the design's cursor files are registered under the
// custom ids 1 to 6 held by the six cursor slots. A slot whose file is missing holds a standard id
// instead.

// Standard cursor ids.
inline constexpr qint16 crDefault = 0;
inline constexpr qint16 crNone = -1;
inline constexpr qint16 crArrow = -2;
inline constexpr qint16 crCross = -3;
inline constexpr qint16 crIBeam = -4;
inline constexpr qint16 crSize = -5;
inline constexpr qint16 crSizeNESW = -6;
inline constexpr qint16 crSizeNS = -7;
inline constexpr qint16 crSizeNWSE = -8;
inline constexpr qint16 crSizeWE = -9;
inline constexpr qint16 crUpArrow = -10;
inline constexpr qint16 crHourGlass = -11;
inline constexpr qint16 crDrag = -12;
inline constexpr qint16 crNoDrop = -13;
inline constexpr qint16 crHSplit = -14;
inline constexpr qint16 crVSplit = -15;
inline constexpr qint16 crMultiDrag = -16;
inline constexpr qint16 crSQLWait = -17;
inline constexpr qint16 crNo = -18;
inline constexpr qint16 crAppStart = -19;
inline constexpr qint16 crHelp = -20;
inline constexpr qint16 crHandPoint = -21;
inline constexpr qint16 crSizeAll = -22;

// The cursor slots; each starts with its custom id.
extern qint16 CursorDefault; // 1, [Cursors] crDefault, else crDefault
extern qint16 CursorPen;     // 2, [Cursors] crPen, else crDefault
extern qint16 CursorHelp;    // 3, [Cursors] crHelp, else crDefault
extern qint16 CursorIBeam;   // 4, [Cursors] crIBeam, else crIBeam
extern qint16 CursorHand;    // 5, [Cursors] crHandPoint, else crHandPoint
extern qint16 CursorBusy;    // 6, [Cursors] crBusy, else crHourGlass

// A cursor as read from a file: one frame, or the frames of an animated cursor in the order they are
// shown, with the time each stays in milliseconds.
struct TCursorImage
{
    QList<QCursor> Frames;
    QList<int> FrameTimes;
};

// Reads a cursor file (a file-system path); no value when the file is no cursor it can read.
using TCursorFileLoader = std::function<std::optional<TCursorImage>(const QString& FileName)>;

// Replaces the loader; an empty function restores LoadCursorImage.
void SetCursorFileLoader(TCursorFileLoader Loader);
// The built-in loader, the picture layer's cursor reader: an animated cursor (.ani) with its frames
// in the order they are shown, a still cursor (.cur) or an icon (.ico) used as one.
std::optional<TCursorImage> LoadCursorImage(const QString& FileName);

// The cursor folder: [Path] Cursors in the "Shell" folder of ProgramFolder.
QString CursorFolder();

// Loads FileName from the cursor folder ([Path] Cursors in the "Shell" folder of ProgramFolder) and
// registers it under the id Slot holds. When the file is missing or cannot be read, Slot := Fallback.
// Returns whether a cursor was registered.
bool LoadCursorFile(const QString& FileName, qint16& Slot, qint16 Fallback);

// Switches between the design's cursors and the standard ones: the busy cursor is loaded again (or
// set to the hourglass), then every registered client runs with Enabled, in registration order.
void SetAnimatedCursors(bool Enabled);

// Registers a window's rule for SetAnimatedCursors. The rule is dropped when Owner is destroyed.
void RegisterCursorClient(QObject* Owner, std::function<void(bool Enabled)> Apply);
void UnregisterCursorClient(QObject* Owner);

// The screen's cursor table. A registered cursor stays for the whole run.
void RegisterCursor(int Id, const TCursorImage& Image);
// The cursor registered under Id, or nullptr.
const TCursorImage* RegisteredCursor(int Id);
// What a control with cursor id Id shows: the registered cursor's first frame, the standard cursor of
// a standard id, and the standard arrow for a custom id with nothing registered.
QCursor CursorFor(int Id);

// Slots back to their custom ids, the table emptied, the clients dropped.
void ResetCursorSlots();

// The screen's cursor for the length of a scope (the busy cursor while a command works).
class TScreenCursor
{
public:
    explicit TScreenCursor(int Id);
    ~TScreenCursor();
    TScreenCursor(const TScreenCursor&) = delete;
    TScreenCursor& operator=(const TScreenCursor&) = delete;
};
