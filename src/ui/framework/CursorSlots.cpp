#include "CursorSlots.h"

#include "config/DesignSettings.h"
#include "config/ProgramPaths.h"
#include "text/Paths.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QtEndian>

#include <algorithm>

using namespace Qt::StringLiterals;

qint16 CursorDefault = 1;
qint16 CursorPen = 2;
qint16 CursorHelp = 3;
qint16 CursorIBeam = 4;
qint16 CursorHand = 5;
qint16 CursorBusy = 6;

namespace {

// A cursor file holds a few small pictures; anything far larger is no cursor.
constexpr qint64 MaxCursorFileSize = 4 * 1024 * 1024;

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

std::optional<TCursorImage> LoadStillCursorFile(const QString& FileName)
{
    const QString Ext = QFileInfo(FileName).suffix().toLower();
    if (Ext != u"cur" && Ext != u"ico") {
        return std::nullopt;
    }
    QFile File(FileName);
    if (!File.open(QIODevice::ReadOnly) || File.size() > MaxCursorFileSize) {
        return std::nullopt;
    }
    const QByteArray Bytes = File.readAll();
    const QImage Image = QImage::fromData(Bytes, Ext == u"cur" ? "cur" : "ico");
    if (Image.isNull()) {
        return std::nullopt;
    }
    // The hot spot of the first picture; icons have theirs in the middle.
    int HotX = Image.width() / 2;
    int HotY = Image.height() / 2;
    const bool IsCursor = Bytes.size() >= 22 && qFromLittleEndian<quint16>(Bytes.constData() + 2) == 2;
    if (IsCursor) {
        HotX = std::min<int>(qFromLittleEndian<quint16>(Bytes.constData() + 10), Image.width() - 1);
        HotY = std::min<int>(qFromLittleEndian<quint16>(Bytes.constData() + 12), Image.height() - 1);
    }
    TCursorImage Cursor;
    Cursor.Frames.append(QCursor(QPixmap::fromImage(Image), HotX, HotY));
    Cursor.FrameTimes.append(0);
    return Cursor;
}

bool LoadCursorFile(const QString& FileName, qint16& Slot, qint16 Fallback)
{
    const QString Path = PathJoin({ProgramFolder, u"Shell"_s, DesignSettings.Path.Cursors}) + FileName;
    const QString Native = NativePath(Path);
    if (!FileName.isEmpty() && QFileInfo(Native).isFile()) {
        const TCursorFileLoader& Load = Loader();
        const std::optional<TCursorImage> Image = Load ? Load(Native) : LoadStillCursorFile(Native);
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
