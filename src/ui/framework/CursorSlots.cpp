#include "CursorSlots.h"

#include "CursorFile.h"

#include "config/DesignSettings.h"
#include "config/ProgramPaths.h"
#include "text/Paths.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QPixmap>
#include <QPointer>

#include <algorithm>

using namespace Qt::StringLiterals;

qint16 CursorDefault = 1;
qint16 CursorPen = 2;
qint16 CursorHelp = 3;
qint16 CursorIBeam = 4;
qint16 CursorHand = 5;
qint16 CursorBusy = 6;

namespace {

struct TCursorClient
{
    QPointer<QObject> Owner;
    std::function<void(bool)> Apply;
    QMetaObject::Connection Destroyed;
};

TCursorFileLoader& Loader()
{
    static TCursorFileLoader TheLoader;
    return TheLoader;
}

QHash<int, TCursorImage>& CursorTable()
{
    static QHash<int, TCursorImage> Table;
    return Table;
}

QList<TCursorClient>& Clients()
{
    static QList<TCursorClient> List;
    return List;
}

Qt::CursorShape StandardShape(int Id)
{
    switch (Id) {
    case crNone:
        return Qt::BlankCursor;
    case crCross:
        return Qt::CrossCursor;
    case crIBeam:
        return Qt::IBeamCursor;
    case crSize:
    case crSizeAll:
        return Qt::SizeAllCursor;
    case crSizeNESW:
        return Qt::SizeBDiagCursor;
    case crSizeNS:
        return Qt::SizeVerCursor;
    case crSizeNWSE:
        return Qt::SizeFDiagCursor;
    case crSizeWE:
        return Qt::SizeHorCursor;
    case crUpArrow:
        return Qt::UpArrowCursor;
    case crHourGlass:
    case crSQLWait:
        return Qt::WaitCursor;
    case crDrag:
        return Qt::DragMoveCursor;
    case crMultiDrag:
        return Qt::DragCopyCursor;
    case crNoDrop:
    case crNo:
        return Qt::ForbiddenCursor;
    case crHSplit:
        return Qt::SplitHCursor;
    case crVSplit:
        return Qt::SplitVCursor;
    case crAppStart:
        return Qt::BusyCursor;
    case crHelp:
        return Qt::WhatsThisCursor;
    case crHandPoint:
        return Qt::PointingHandCursor;
    default:
        // crDefault, crArrow, unknown standard ids and custom ids with nothing registered.
        return Qt::ArrowCursor;
    }
}

} // namespace

void SetCursorFileLoader(TCursorFileLoader NewLoader)
{
    Loader() = std::move(NewLoader);
}

std::optional<TCursorImage> LoadCursorImage(const QString& FileName)
{
    TCursorFrames Frames;
    if (!LoadCursorFrames(FileName, Frames, nullptr) || Frames.Frames.isEmpty()) {
        return std::nullopt;
    }
    TCursorImage Image;
    for (qsizetype Step = 0; Step < Frames.Sequence.size(); ++Step) {
        const int Index = Frames.Sequence[Step];
        if (Index < 0 || Index >= Frames.Frames.size()) {
            continue;
        }
        const TCursorFrame& F = Frames.Frames[Index];
        Image.Frames.append(QCursor(QPixmap::fromImage(F.Image), F.HotSpot.x(), F.HotSpot.y()));
        // Steps are counted in jiffies of 1/60 second.
        const quint32 Jiffies = Step < Frames.Jiffies.size() ? Frames.Jiffies[Step] : 0;
        Image.FrameTimes.append(static_cast<int>(std::min<quint32>(Jiffies, 60000) * 1000 / 60));
    }
    if (Image.Frames.isEmpty()) {
        return std::nullopt;
    }
    return Image;
}

QString CursorFolder()
{
    return PathJoin({ProgramFolder, u"Shell"_s, DesignSettings.Path.Cursors});
}

bool LoadCursorFile(const QString& FileName, qint16& Slot, qint16 Fallback)
{
    const QString Path = CursorFolder() + FileName;
    const QString Native = NativePath(Path);
    if (!FileName.isEmpty() && QFileInfo(Native).isFile()) {
        const TCursorFileLoader& Load = Loader();
        const std::optional<TCursorImage> Image = Load ? Load(Native) : LoadCursorImage(Native);
        // A file that is no readable cursor is treated like a missing one: the slot gets the standard
        // cursor meant for it rather than the arrow an empty custom id would show.
        if (Image && !Image->Frames.isEmpty()) {
            RegisterCursor(Slot, *Image);
            return true;
        }
    }
    Slot = Fallback;
    return false;
}

void SetAnimatedCursors(bool Enabled)
{
    if (Enabled) {
        CursorBusy = 6;
        LoadCursorFile(DesignSettings.Cursors.crBusy, CursorBusy, crHourGlass);
    } else {
        CursorBusy = crHourGlass;
    }
    // A rule may register or drop clients, or destroy a window; it works on a copy.
    const QList<TCursorClient> Current = Clients();
    for (const TCursorClient& Client : Current) {
        if (!Client.Owner.isNull() && Client.Apply) {
            Client.Apply(Enabled);
        }
    }
}

void RegisterCursorClient(QObject* Owner, std::function<void(bool Enabled)> Apply)
{
    if (Owner == nullptr) {
        return;
    }
    TCursorClient Client;
    Client.Owner = Owner;
    Client.Apply = std::move(Apply);
    Client.Destroyed =
        QObject::connect(Owner, &QObject::destroyed, [Owner] { UnregisterCursorClient(Owner); });
    Clients().append(std::move(Client));
}

void UnregisterCursorClient(QObject* Owner)
{
    QList<TCursorClient>& List = Clients();
    for (qsizetype I = List.size() - 1; I >= 0; --I) {
        // A destroyed owner's QPointer is already null; the raw pointer is only compared.
        if (List[I].Owner == Owner || List[I].Owner.isNull()) {
            QObject::disconnect(List[I].Destroyed);
            List.removeAt(I);
        }
    }
}

void RegisterCursor(int Id, const TCursorImage& Image)
{
    CursorTable().insert(Id, Image);
}

const TCursorImage* RegisteredCursor(int Id)
{
    const auto Found = CursorTable().constFind(Id);
    return Found == CursorTable().constEnd() ? nullptr : &*Found;
}

QCursor CursorFor(int Id)
{
    if (const TCursorImage* Image = RegisteredCursor(Id); Image != nullptr && !Image->Frames.isEmpty()) {
        return Image->Frames.first();
    }
    return QCursor(StandardShape(Id));
}

void ResetCursorSlots()
{
    CursorDefault = 1;
    CursorPen = 2;
    CursorHelp = 3;
    CursorIBeam = 4;
    CursorHand = 5;
    CursorBusy = 6;
    CursorTable().clear();
    for (const TCursorClient& Client : Clients()) {
        QObject::disconnect(Client.Destroyed);
    }
    Clients().clear();
}

TScreenCursor::TScreenCursor(int Id)
{
    QGuiApplication::setOverrideCursor(CursorFor(Id));
}

TScreenCursor::~TScreenCursor()
{
    QGuiApplication::restoreOverrideCursor();
}
