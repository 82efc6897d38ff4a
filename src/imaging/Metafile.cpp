#include "Metafile.h"

#include "ByteReader.h"
#include "Dib.h"
#include "ImageLimits.h"
#include "Region.h"
#include "text/CodePage.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QTransform>

#include <cmath>
#include <map>
#include <optional>
#include <set>

namespace {

constexpr quint32 PlaceableKey = 0x9AC6CDD7;
constexpr quint32 EmfSignature = 0x464D4520; // " EMF"

// Windows metafile functions.
enum : quint32
{
    META_EOF = 0x0000,
    META_SAVEDC = 0x001E,
    META_SETBKMODE = 0x0102,
    META_SETMAPMODE = 0x0103,
    META_SETPOLYFILLMODE = 0x0106,
    META_RESTOREDC = 0x0127,
    META_SELECTOBJECT = 0x012D,
    META_SETTEXTALIGN = 0x012E,
    META_DIBCREATEPATTERNBRUSH = 0x0142,
    META_DELETEOBJECT = 0x01F0,
    META_CREATEPATTERNBRUSH = 0x01F9,
    META_SETBKCOLOR = 0x0201,
    META_SETTEXTCOLOR = 0x0209,
    META_SETWINDOWORG = 0x020B,
    META_SETWINDOWEXT = 0x020C,
    META_OFFSETWINDOWORG = 0x020F,
    META_LINETO = 0x0213,
    META_MOVETO = 0x0214,
    META_CREATEPENINDIRECT = 0x02FA,
    META_CREATEFONTINDIRECT = 0x02FB,
    META_CREATEBRUSHINDIRECT = 0x02FC,
    META_CREATEPALETTE = 0x00F7,
    META_POLYGON = 0x0324,
    META_POLYLINE = 0x0325,
    META_SCALEWINDOWEXT = 0x0410,
    META_EXCLUDECLIPRECT = 0x0415,
    META_INTERSECTCLIPRECT = 0x0416,
    META_ELLIPSE = 0x0418,
    META_RECTANGLE = 0x041B,
    META_SETPIXEL = 0x041F,
    META_TEXTOUT = 0x0521,
    META_POLYPOLYGON = 0x0538,
    META_ROUNDRECT = 0x061C,
    META_PATBLT = 0x061D,
    META_CREATEREGION = 0x06FF,
    META_ARC = 0x0817,
    META_PIE = 0x081A,
    META_CHORD = 0x0830,
    META_DIBBITBLT = 0x0940,
    META_EXTTEXTOUT = 0x0A32,
    META_DIBSTRETCHBLT = 0x0B41,
    META_SETDIBTODEV = 0x0D33,
    META_STRETCHDIB = 0x0F43,
};

// Enhanced metafile record types.
enum : quint32
{
    EMR_HEADER = 1,
    EMR_POLYBEZIER = 2,
    EMR_POLYGON = 3,
    EMR_POLYLINE = 4,
    EMR_POLYBEZIERTO = 5,
    EMR_POLYLINETO = 6,
    EMR_POLYPOLYLINE = 7,
    EMR_POLYPOLYGON = 8,
    EMR_SETWINDOWEXTEX = 9,
    EMR_SETWINDOWORGEX = 10,
    EMR_SETVIEWPORTEXTEX = 11,
    EMR_SETVIEWPORTORGEX = 12,
    EMR_EOF = 14,
    EMR_SETPIXELV = 15,
    EMR_SETMAPMODE = 17,
    EMR_SETBKMODE = 18,
    EMR_SETPOLYFILLMODE = 19,
    EMR_SETTEXTALIGN = 22,
    EMR_SETTEXTCOLOR = 24,
    EMR_SETBKCOLOR = 25,
    EMR_MOVETOEX = 27,
    EMR_EXCLUDECLIPRECT = 29,
    EMR_INTERSECTCLIPRECT = 30,
    EMR_SCALEVIEWPORTEXTEX = 31,
    EMR_SCALEWINDOWEXTEX = 32,
    EMR_SAVEDC = 33,
    EMR_RESTOREDC = 34,
    EMR_SETWORLDTRANSFORM = 35,
    EMR_MODIFYWORLDTRANSFORM = 36,
    EMR_SELECTOBJECT = 37,
    EMR_CREATEPEN = 38,
    EMR_CREATEBRUSHINDIRECT = 39,
    EMR_DELETEOBJECT = 40,
    EMR_ANGLEARC = 41,
    EMR_ELLIPSE = 42,
    EMR_RECTANGLE = 43,
    EMR_ROUNDRECT = 44,
    EMR_ARC = 45,
    EMR_CHORD = 46,
    EMR_PIE = 47,
    EMR_LINETO = 54,
    EMR_ARCTO = 55,
    EMR_SETARCDIRECTION = 57,
    EMR_BEGINPATH = 59,
    EMR_ENDPATH = 60,
    EMR_CLOSEFIGURE = 61,
    EMR_FILLPATH = 62,
    EMR_STROKEANDFILLPATH = 63,
    EMR_STROKEPATH = 64,
    EMR_SELECTCLIPPATH = 67,
    EMR_ABORTPATH = 68,
    EMR_FILLRGN = 71,
    EMR_PAINTRGN = 74,
    EMR_EXTSELECTCLIPRGN = 75,
    EMR_BITBLT = 76,
    EMR_STRETCHBLT = 77,
    EMR_SETDIBITSTODEVICE = 80,
    EMR_STRETCHDIBITS = 81,
    EMR_EXTCREATEFONTINDIRECTW = 82,
    EMR_EXTTEXTOUTA = 83,
    EMR_EXTTEXTOUTW = 84,
    EMR_POLYBEZIER16 = 85,
    EMR_POLYGON16 = 86,
    EMR_POLYLINE16 = 87,
    EMR_POLYBEZIERTO16 = 88,
    EMR_POLYLINETO16 = 89,
    EMR_POLYPOLYLINE16 = 90,
    EMR_POLYPOLYGON16 = 91,
    EMR_CREATEMONOBRUSH = 93,
    EMR_CREATEDIBPATTERNBRUSHPT = 94,
    EMR_EXTCREATEPEN = 95,
    EMR_ALPHABLEND = 114,
};

// Mapping modes, background modes, fill modes, text alignment, region modes.
enum
{
    MM_TEXT = 1,
    MM_LOMETRIC = 2,
    MM_HIMETRIC = 3,
    MM_LOENGLISH = 4,
    MM_HIENGLISH = 5,
    MM_TWIPS = 6,
    MM_ISOTROPIC = 7,
    MM_ANISOTROPIC = 8,
    TRANSPARENT = 1,
    OPAQUE = 2,
    ALTERNATE = 1,
    TA_UPDATECP = 1,
    TA_RIGHT = 2,
    TA_CENTER = 6,
    TA_BOTTOM = 8,
    TA_BASELINE = 24,
    ETO_OPAQUE = 2,
    ETO_CLIPPED = 4,
    ETO_GLYPH_INDEX = 0x10,
    RGN_AND = 1,
    RGN_OR = 2,
    RGN_XOR = 3,
    RGN_DIFF = 4,
    RGN_COPY = 5,
    AD_CLOCKWISE = 2,
};

// Raster operations of blits.
enum : quint32
{
    SRCCOPY = 0x00CC0020,
    SRCPAINT = 0x00EE0086,
    SRCAND = 0x008800C6,
    SRCINVERT = 0x00660046,
    NOTSRCCOPY = 0x00330008,
    PATCOPY = 0x00F00021,
    BLACKNESS = 0x00000042,
    WHITENESS = 0x00FF0062,
    DSTINVERT = 0x00550009,
};

constexpr int MaxSavedStates = 1024;
constexpr int MaxTextLength = 4096;
constexpr int MaxObjects = 65535;

QRgb ColourRef(quint32 V)
{
    return qRgb(int(V & 0xFF), int((V >> 8) & 0xFF), int((V >> 16) & 0xFF));
}

struct TGdiPen
{
    bool Null = false;
    int Style = 0;    // PS_SOLID, PS_DASH, ...
    double Width = 0; // logical units; 0 is one device pixel
    QRgb Colour = qRgb(0, 0, 0);
    Qt::PenCapStyle Cap = Qt::RoundCap;
    Qt::PenJoinStyle Join = Qt::RoundJoin;
};

struct TGdiBrush
{
    bool Null = false;
    int Hatch = -1; // -1 solid or pattern
    QRgb Colour = qRgb(255, 255, 255);
    QImage Pattern;
};

struct TGdiFont
{
    int Height = 0;
    int Escapement = 0;
    int Weight = 400;
    bool Italic = false, Underline = false, StrikeOut = false;
    int CharSet = 1;
    QString Face;
};

struct TGdiObject
{
    enum TKind
    {
        okPen,
        okBrush,
        okFont,
        okOther
    } Kind = okOther;
    TGdiPen Pen;
    TGdiBrush Brush;
    TGdiFont Font;
};

struct TDcState
{
    TGdiPen Pen;
    TGdiBrush Brush;
    TGdiFont Font;
    QRgb TextColour = qRgb(0, 0, 0);
    QRgb BkColour = qRgb(255, 255, 255);
    int BkMode = OPAQUE;
    int TextAlign = 0;
    Qt::FillRule FillRule = Qt::OddEvenFill;
    bool Clockwise = false;
    QPointF Position;
    int MapMode = MM_TEXT;
    QPointF WinOrg, VpOrg;
    QPointF WinExt{1, 1}, VpExt{1, 1};
    QTransform World;
    std::optional<QRegion> Clip; // in target pixels
};

bool Finite(double V)
{
    return std::isfinite(V) && std::fabs(V) < 1e12;
}

bool GoodTransform(const QTransform& T)
{
    return Finite(T.m11()) && Finite(T.m12()) && Finite(T.m21()) && Finite(T.m22()) && Finite(T.dx()) &&
           Finite(T.dy()) && std::fabs(T.determinant()) > 1e-12;
}

QRect SafeRect(const QRectF& R)
{
    // Clip rectangles far outside any picture are cut to a range QRegion holds without overflow.
    constexpr double Limit = 1 << 28;
    const double L = qBound(-Limit, R.left(), Limit), T = qBound(-Limit, R.top(), Limit);
    const double Ri = qBound(-Limit, R.right(), Limit), B = qBound(-Limit, R.bottom(), Limit);
    return QRect(QPoint(int(std::lround(L)), int(std::lround(T))),
                 QPoint(int(std::lround(Ri)) - 1, int(std::lround(B)) - 1));
}

} // namespace

// Plays one metafile onto a painter.
class TMetafilePlayer
{
public:
    TMetafilePlayer(const TMetafileGraphic& AMeta, QPainter& APainter, const QRectF& ATarget)
        : M(AMeta), P(APainter), Target(ATarget), Base(APainter.worldTransform())
    {
        if (!M.IsEnhanced) {
            S.WinOrg = M.FrameRect.topLeft();
            S.WinExt = {M.FrameRect.width(), M.FrameRect.height()};
            S.MapMode = MM_ANISOTROPIC;
        }
        UpdateTransform();
    }

    void Play()
    {
        PointBudget = ImageLimits().MaxMetafilePoints;
        for (const TMetafileGraphic::TRecord& R : M.RecordList) {
            const QByteArrayView Rec = QByteArrayView(M.Bytes).sliced(R.Offset, R.Size);
            try {
                if (M.IsEnhanced)
                    PlayEmf(R.Type, TByteReader(Rec, 8), Rec);
                else
                    PlayWmf(R.Type, TByteReader(Rec, 6), Rec);
            } catch (const EImageData&) {
                // A record too short for its parameters is skipped like an unknown one.
            }
            if (PointBudget < 0)
                break;
        }
    }

private:
    const TMetafileGraphic& M;
    QPainter& P;
    QRectF Target;
    QTransform Base;
    TDcState S;
    QTransform ToTarget; // logical to target
    bool Usable = true;  // false while the mapping collapses the picture
    QList<TDcState> Saved;
    qint64 PointBudget = 0;

    // Objects: WMF numbers them by the lowest free slot, EMF names them in each record.
    std::map<quint32, TGdiObject> Objects;
    std::set<quint32> FreeSlots;
    quint32 NextSlot = 0;

    // Path bracket (EMF).
    bool InPath = false;
    QPainterPath Path; // in target pixels

    // --- mapping -----------------------------------------------------------------------------

    QTransform PageToDevice() const
    {
        QPointF Scale(1, 1);
        switch (S.MapMode) {
        case MM_LOMETRIC:
        case MM_HIMETRIC:
        case MM_LOENGLISH:
        case MM_HIENGLISH:
        case MM_TWIPS: {
            const double UnitsPerMm = S.MapMode == MM_LOMETRIC    ? 10.0
                                      : S.MapMode == MM_HIMETRIC  ? 100.0
                                      : S.MapMode == MM_LOENGLISH ? 100.0 / 25.4
                                      : S.MapMode == MM_HIENGLISH ? 1000.0 / 25.4
                                                                  : 1440.0 / 25.4;
            Scale = {M.PixelsPerMmX / UnitsPerMm, -M.PixelsPerMmY / UnitsPerMm};
            break;
        }
        case MM_ISOTROPIC:
        case MM_ANISOTROPIC:
            Scale = {S.VpExt.x() / S.WinExt.x(), S.VpExt.y() / S.WinExt.y()};
            if (S.MapMode == MM_ISOTROPIC) {
                const double Min = qMin(std::fabs(Scale.x()), std::fabs(Scale.y()));
                Scale = {std::copysign(Min, Scale.x()), std::copysign(Min, Scale.y())};
            }
            break;
        default:
            break;
        }
        return QTransform::fromTranslate(-S.WinOrg.x(), -S.WinOrg.y()) *
               QTransform::fromScale(Scale.x(), Scale.y()) *
               QTransform::fromTranslate(S.VpOrg.x(), S.VpOrg.y());
    }

    QTransform DeviceToTarget() const
    {
        const QRectF& F = M.FrameRect;
        return QTransform::fromTranslate(-F.left(), -F.top()) *
               QTransform::fromScale(Target.width() / F.width(), Target.height() / F.height()) *
               QTransform::fromTranslate(Target.left(), Target.top());
    }

    void UpdateTransform()
    {
        if (M.IsEnhanced) {
            ToTarget = S.World * PageToDevice() * DeviceToTarget();
        } else {
            // The window the records set is mapped onto the target, whatever the map mode.
            ToTarget = QTransform::fromTranslate(-S.WinOrg.x(), -S.WinOrg.y()) *
                       QTransform::fromScale(Target.width() / S.WinExt.x(), Target.height() / S.WinExt.y()) *
                       QTransform::fromTranslate(Target.left(), Target.top());
        }
        Usable = GoodTransform(ToTarget);
    }

    double DeviceScale() const { return std::sqrt(std::fabs(ToTarget.determinant())); }

    // --- objects -----------------------------------------------------------------------------

    void AddWmfObject(const TGdiObject& Object)
    {
        quint32 Slot;
        if (!FreeSlots.empty() && *FreeSlots.begin() < NextSlot) {
            Slot = *FreeSlots.begin();
            FreeSlots.erase(FreeSlots.begin());
        } else {
            // A full table creates nothing, as on Windows.
            if (NextSlot >= quint32(qMin(M.ObjectCount, MaxObjects)))
                return;
            Slot = NextSlot++;
        }
        Objects[Slot] = Object;
    }

    void DeleteObject(quint32 Index)
    {
        if (Objects.erase(Index) && !M.IsEnhanced)
            FreeSlots.insert(Index);
    }

    void SelectStock(quint32 Index)
    {
        switch (Index) {
        case 0: // white, light grey, grey, dark grey, black brush
        case 1:
        case 2:
        case 3:
        case 4: {
            const int Grey[] = {255, 192, 128, 64, 0};
            S.Brush = TGdiBrush();
            S.Brush.Colour = qRgb(Grey[Index], Grey[Index], Grey[Index]);
            break;
        }
        case 5: // null brush
            S.Brush = TGdiBrush();
            S.Brush.Null = true;
            break;
        case 6: // white pen, black pen, null pen
        case 7:
        case 8:
            S.Pen = TGdiPen();
            S.Pen.Null = Index == 8;
            S.Pen.Colour = Index == 6 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
            break;
        case 10:
        case 11:
        case 16: // fixed fonts
            S.Font = TGdiFont();
            S.Font.Face = QStringLiteral("Courier New");
            break;
        case 12:
        case 13:
        case 14:
        case 17: // variable fonts
            S.Font = TGdiFont();
            break;
        default:
            break;
        }
    }

    void SelectObject(quint32 Index)
    {
        if (M.IsEnhanced && (Index & 0x80000000u)) {
            SelectStock(Index & 0x7FFFFFFFu);
            return;
        }
        const auto It = Objects.find(Index);
        if (It == Objects.end())
            return;
        const TGdiObject& O = It->second;
        if (O.Kind == TGdiObject::okPen)
            S.Pen = O.Pen;
        else if (O.Kind == TGdiObject::okBrush)
            S.Brush = O.Brush;
        else if (O.Kind == TGdiObject::okFont)
            S.Font = O.Font;
    }

    void SetObject(quint32 Index, const TGdiObject& O)
    {
        if (Index == 0 || Index >= quint32(MaxObjects))
            return;
        Objects[Index] = O;
    }

    static TGdiPen MakePen(quint32 Style, double Width, QRgb Colour)
    {
        TGdiPen Pen;
        Pen.Style = int(Style & 0x0F);
        Pen.Null = Pen.Style == 5;
        Pen.Width = Width;
        Pen.Colour = Colour;
        switch (Style & 0x0F00) {
        case 0x0100:
            Pen.Cap = Qt::SquareCap;
            break;
        case 0x0200:
            Pen.Cap = Qt::FlatCap;
            break;
        default:
            Pen.Cap = Qt::RoundCap;
        }
        switch (Style & 0xF000) {
        case 0x1000:
            Pen.Join = Qt::BevelJoin;
            break;
        case 0x2000:
            Pen.Join = Qt::MiterJoin;
            break;
        default:
            Pen.Join = Qt::RoundJoin;
        }
        return Pen;
    }

    static TGdiBrush MakeBrush(quint32 Style, QRgb Colour, quint32 Hatch)
    {
        TGdiBrush B;
        B.Colour = Colour;
        if (Style == 1) // BS_NULL
            B.Null = true;
        else if (Style == 2) // BS_HATCHED
            B.Hatch = Hatch <= 5 ? int(Hatch) : -1;
        return B;
    }

    static TGdiBrush PatternBrush(const QImage& Pattern)
    {
        TGdiBrush B;
        if (Pattern.isNull())
            B.Colour = qRgb(0, 0, 0);
        else
            B.Pattern = Pattern;
        return B;
    }

    static QImage DibFrom(QByteArrayView Info, QByteArrayView Bits)
    {
        QImage Img;
        QString Ignored;
        if (!DecodeDib(Info, Bits, Img, Ignored))
            return {};
        return Img;
    }

    // --- drawing -----------------------------------------------------------------------------

    QPen CurrentPen(const QRectF& DeviceBounds) const
    {
        if (S.Pen.Null)
            return Qt::NoPen;
        double W = S.Pen.Width * DeviceScale();
        const double MaxWidth = 2 * (Target.width() + Target.height()) + 16;
        W = W < 1 ? 0 : qMin(W, MaxWidth);
        QPen Pen(QColor::fromRgb(S.Pen.Colour), W);
        Pen.setCapStyle(S.Pen.Cap);
        Pen.setJoinStyle(S.Pen.Join);
        // Dashes along a shape far larger than the picture would take very long to lay out; such a
        // shape is drawn solid.
        const bool Huge =
            DeviceBounds.width() + DeviceBounds.height() > 16 * (Target.width() + Target.height() + 64);
        if (!Huge) {
            switch (S.Pen.Style) {
            case 1:
                Pen.setStyle(Qt::DashLine);
                break;
            case 2:
                Pen.setStyle(Qt::DotLine);
                break;
            case 3:
                Pen.setStyle(Qt::DashDotLine);
                break;
            case 4:
                Pen.setStyle(Qt::DashDotDotLine);
                break;
            default:
                break;
            }
        }
        return Pen;
    }

    QBrush CurrentBrush() const
    {
        if (S.Brush.Null)
            return Qt::NoBrush;
        if (!S.Brush.Pattern.isNull())
            return QBrush(S.Brush.Pattern);
        static const Qt::BrushStyle Hatches[] = {Qt::HorPattern,   Qt::VerPattern,   Qt::FDiagPattern,
                                                 Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
        if (S.Brush.Hatch >= 0)
            return QBrush(QColor::fromRgb(S.Brush.Colour), Hatches[S.Brush.Hatch]);
        return QBrush(QColor::fromRgb(S.Brush.Colour));
    }

    template <class F> void WithClip(F&& Paint)
    {
        P.save();
        P.setWorldTransform(Base);
        if (S.Clip)
            P.setClipRegion(*S.Clip, Qt::IntersectClip);
        Paint();
        P.restore();
    }

    bool Spend(qint64 Points)
    {
        PointBudget -= Points;
        return PointBudget >= 0;
    }

    // A shape in logical coordinates: added to the open path, or filled and outlined at once.
    void Shape(const QPainterPath& Logical, bool Fill, bool Stroke)
    {
        if (!Usable || !Spend(Logical.elementCount()))
            return;
        const QPainterPath Mapped = ToTarget.map(Logical);
        if (InPath) {
            Path.addPath(Mapped);
            return;
        }
        DrawMapped(Mapped, Fill, Stroke);
    }

    void DrawMapped(QPainterPath Mapped, bool Fill, bool Stroke)
    {
        Mapped.setFillRule(S.FillRule);
        const QRectF Bounds = Mapped.controlPointRect();
        WithClip([&] {
            if (Fill && !S.Brush.Null) {
                if (S.Brush.Hatch >= 0 && S.BkMode == OPAQUE)
                    P.fillPath(Mapped, QColor::fromRgb(S.BkColour));
                P.fillPath(Mapped, CurrentBrush());
            }
            if (Stroke && !S.Pen.Null)
                P.strokePath(Mapped, CurrentPen(Bounds));
        });
    }

    QRectF BoxOf(double L, double T, double R, double B) const
    {
        return QRectF(QPointF(L, T), QPointF(R, B)).normalized();
    }

    // Arc, chord and pie: the ellipse in Box, from the ray through Start to the ray through End,
    // counter-clockwise unless the arc direction says otherwise.
    void ArcShape(const QRectF& Box, QPointF Start, QPointF End, int Kind /*0 arc, 1 chord, 2 pie*/)
    {
        if (Box.isEmpty())
            return;
        const QPointF C = Box.center();
        auto Angle = [&](QPointF Pt) {
            return std::atan2(-(Pt.y() - C.y()) / Box.height(), (Pt.x() - C.x()) / Box.width()) * 180.0 /
                   M_PI;
        };
        const double A0 = Angle(Start);
        double Sweep = Angle(End) - A0;
        if (S.Clockwise) {
            while (Sweep >= 0)
                Sweep -= 360;
        } else {
            while (Sweep <= 0)
                Sweep += 360;
        }
        QPainterPath Pth;
        if (Kind == 2) {
            Pth.moveTo(C);
            Pth.arcTo(Box, A0, Sweep);
            Pth.closeSubpath();
        } else {
            Pth.arcMoveTo(Box, A0);
            Pth.arcTo(Box, A0, Sweep);
            if (Kind == 1)
                Pth.closeSubpath();
        }
        Shape(Pth, Kind != 0, true);
    }

    void Polygon(const QPolygonF& Points, bool Closed)
    {
        if (Points.size() < 2)
            return;
        QPainterPath Pth;
        Pth.addPolygon(Points);
        if (Closed)
            Pth.closeSubpath();
        Shape(Pth, Closed, true);
    }

    void LineTo(QPointF To)
    {
        QPainterPath Pth(S.Position);
        Pth.lineTo(To);
        S.Position = To;
        if (InPath) {
            if (Usable && Spend(2))
                Path.lineTo(ToTarget.map(To));
            return;
        }
        Shape(Pth, false, true);
    }

    void PolyTo(const QPolygonF& Points, bool Bezier)
    {
        if (Points.isEmpty())
            return;
        QPainterPath Pth(S.Position);
        if (Bezier) {
            for (qsizetype I = 0; I + 2 < Points.size(); I += 3)
                Pth.cubicTo(Points[I], Points[I + 1], Points[I + 2]);
        } else {
            for (const QPointF& Pt : Points)
                Pth.lineTo(Pt);
        }
        S.Position = Points.last();
        if (InPath) {
            if (!Usable || !Spend(Points.size()))
                return;
            const QPainterPath Mapped = ToTarget.map(Pth);
            // Continue the open figure rather than start a new one.
            for (int I = 1; I < Mapped.elementCount(); ++I) {
                const QPainterPath::Element E = Mapped.elementAt(I);
                if (E.type == QPainterPath::CurveToElement && I + 2 < Mapped.elementCount()) {
                    Path.cubicTo(E, Mapped.elementAt(I + 1), Mapped.elementAt(I + 2));
                    I += 2;
                } else {
                    Path.lineTo(E);
                }
            }
            return;
        }
        Shape(Pth, false, true);
    }

    void Bezier(const QPolygonF& Points)
    {
        if (Points.size() < 4)
            return;
        QPainterPath Pth(Points[0]);
        for (qsizetype I = 1; I + 2 < Points.size(); I += 3)
            Pth.cubicTo(Points[I], Points[I + 1], Points[I + 2]);
        Shape(Pth, false, true);
    }

    void FillRect(const QRectF& Logical, const QBrush& Brush)
    {
        if (!Usable)
            return;
        QPainterPath Pth;
        Pth.addRect(Logical);
        const QPainterPath Mapped = ToTarget.map(Pth);
        WithClip([&] { P.fillPath(Mapped, Brush); });
    }

    // A blit of Image's Source rectangle onto the logical rectangle Dest (whose extents may be
    // negative, which mirrors).
    void Blit(const QImage& Image, QRectF Source, QPointF DestPos, QSizeF DestSize, quint32 Rop)
    {
        if (!Usable || DestSize.width() == 0 || DestSize.height() == 0)
            return;
        if (Image.isNull()) {
            // No source: the operation paints with the brush or a fixed colour.
            if (Rop == BLACKNESS)
                FillRect(QRectF(DestPos, DestSize), Qt::black);
            else if (Rop == WHITENESS)
                FillRect(QRectF(DestPos, DestSize), Qt::white);
            else if (Rop == PATCOPY && !S.Brush.Null)
                FillRect(QRectF(DestPos, DestSize), CurrentBrush());
            return;
        }
        if (Source.width() <= 0 || Source.height() <= 0)
            return;
        const QPointF P0 = ToTarget.map(DestPos);
        const QPointF P1 = ToTarget.map(DestPos + QPointF(DestSize.width(), 0));
        const QPointF P2 = ToTarget.map(DestPos + QPointF(0, DestSize.height()));
        const double M11 = (P1.x() - P0.x()) / Source.width(), M12 = (P1.y() - P0.y()) / Source.width();
        const double M21 = (P2.x() - P0.x()) / Source.height(), M22 = (P2.y() - P0.y()) / Source.height();
        const QTransform A(M11, M12, M21, M22, P0.x() - M11 * Source.left() - M21 * Source.top(),
                           P0.y() - M12 * Source.left() - M22 * Source.top());
        if (!GoodTransform(A))
            return;
        const QRectF Clipped = Source.intersected(QRectF(Image.rect()));
        if (Clipped.isEmpty())
            return;
        QPainter::CompositionMode Mode = QPainter::CompositionMode_SourceOver;
        switch (Rop) {
        case SRCAND:
            Mode = QPainter::RasterOp_SourceAndDestination;
            break;
        case SRCPAINT:
            Mode = QPainter::RasterOp_SourceOrDestination;
            break;
        case SRCINVERT:
            Mode = QPainter::RasterOp_SourceXorDestination;
            break;
        case NOTSRCCOPY:
            Mode = QPainter::RasterOp_NotSource;
            break;
        default:
            break;
        }
        P.save();
        if (S.Clip) {
            P.setWorldTransform(Base);
            P.setClipRegion(*S.Clip, Qt::IntersectClip);
        }
        P.setWorldTransform(A * Base);
        P.setCompositionMode(Mode);
        P.drawImage(Clipped, Image, Clipped);
        P.restore();
    }

    void ClipRect(const QRectF& Logical, bool Exclude)
    {
        if (!Usable)
            return;
        const QRect R = SafeRect(ToTarget.mapRect(Logical));
        QRegion Current = S.Clip ? *S.Clip : QRegion(SafeRect(Target.adjusted(-1, -1, 1, 1)));
        S.Clip = Exclude ? Current.subtracted(R) : Current.intersected(R);
    }

    // The area of a path in target pixels: the path is filled into a mask of the target's size,
    // whose rows are read as runs. (QRegion's polygon constructor is not used: it loses memory on
    // some polygons, and a polygon reaching far outside the picture would take very long.)
    QRegion PathRegion(QPainterPath Source) const
    {
        const QRect Box = SafeRect(Target.adjusted(-1, -1, 1, 1));
        if (Box.isEmpty())
            return {};
        if (qint64(Box.width()) * Box.height() > 16 * 1024 * 1024)
            return QRegion(SafeRect(Source.controlPointRect()).intersected(Box));
        QImage Mask(Box.size(), QImage::Format_Alpha8);
        Mask.fill(0);
        {
            QPainter MaskPainter(&Mask);
            MaskPainter.translate(-Box.topLeft());
            Source.setFillRule(S.FillRule);
            MaskPainter.fillPath(Source, Qt::black);
        }
        return RegionFromMask(Mask, Box.topLeft());
    }

    void CombineClip(const QRegion& Region, int Mode)
    {
        const QRegion Current = S.Clip ? *S.Clip : QRegion(SafeRect(Target.adjusted(-1, -1, 1, 1)));
        switch (Mode) {
        case RGN_AND:
            S.Clip = Current.intersected(Region);
            break;
        case RGN_OR:
            S.Clip = Current.united(Region);
            break;
        case RGN_XOR:
            S.Clip = Current.xored(Region);
            break;
        case RGN_DIFF:
            S.Clip = Current.subtracted(Region);
            break;
        case RGN_COPY:
            S.Clip = Region;
            break;
        default:
            break;
        }
    }

    void Text(QPointF Logical, const QString& Str, quint32 Options, const std::optional<QRectF>& Rect)
    {
        if (!Usable || !qGuiApp)
            return;
        if (Options & ETO_OPAQUE && Rect)
            FillRect(*Rect, QColor::fromRgb(S.BkColour));
        if (Str.isEmpty())
            return;
        const bool UpdateCp = S.TextAlign & TA_UPDATECP;
        if (UpdateCp)
            Logical = S.Position;
        const QPointF At = ToTarget.map(Logical);
        const double ScaleY = std::hypot(ToTarget.m21(), ToTarget.m22());
        double Px = std::fabs(double(S.Font.Height)) * ScaleY;
        if (S.Font.Height == 0)
            Px = 16;
        Px = qBound(1.0, Px, 4 * (Target.height() + Target.width()) + 16);
        QFont Font;
        if (!S.Font.Face.isEmpty())
            Font.setFamily(S.Font.Face);
        Font.setPixelSize(qMax(1, int(std::lround(Px))));
        if (S.Font.Height > 0) {
            // A positive height is the cell height, ascent and descent together.
            const double Cell = QFontMetricsF(Font).height();
            if (Cell > 0)
                Font.setPixelSize(qMax(1, int(std::lround(Px * Px / Cell))));
        }
        Font.setBold(S.Font.Weight >= 600);
        Font.setItalic(S.Font.Italic);
        Font.setUnderline(S.Font.Underline);
        Font.setStrikeOut(S.Font.StrikeOut);
        const QFontMetricsF Fm(Font);
        const double Advance = Fm.horizontalAdvance(Str);
        double X = 0, Y = 0;
        if ((S.TextAlign & TA_CENTER) == TA_CENTER)
            X = -Advance / 2;
        else if (S.TextAlign & TA_RIGHT)
            X = -Advance;
        if ((S.TextAlign & TA_BASELINE) == TA_BASELINE)
            Y = 0;
        else if (S.TextAlign & TA_BOTTOM)
            Y = -Fm.descent();
        else
            Y = Fm.ascent();
        if (UpdateCp) {
            // The current position moves on by the text's width in logical units.
            const double ScaleX = std::hypot(ToTarget.m11(), ToTarget.m12());
            if (ScaleX > 0)
                S.Position = Logical + QPointF(Advance / ScaleX * (ToTarget.m11() < 0 ? -1 : 1), 0);
        }
        WithClip([&] {
            if (Options & ETO_CLIPPED && Rect)
                P.setClipRect(ToTarget.mapRect(*Rect), Qt::IntersectClip);
            P.translate(At);
            P.rotate(-S.Font.Escapement / 10.0);
            P.setFont(Font);
            if (S.BkMode == OPAQUE)
                P.fillRect(QRectF(X, Y - Fm.ascent(), Advance, Fm.height()), QColor::fromRgb(S.BkColour));
            P.setPen(QColor::fromRgb(S.TextColour));
            P.drawText(QPointF(X, Y), Str);
        });
    }

    void Save()
    {
        if (Saved.size() < MaxSavedStates)
            Saved.append(S);
    }

    void Restore(int Which)
    {
        // Negative: relative to the current depth; positive: an absolute instance number.
        qsizetype Index = Which < 0 ? Saved.size() + Which : qsizetype(Which) - 1;
        if (Index < 0 || Index >= Saved.size())
            return;
        S = Saved[Index];
        Saved.resize(Index);
        UpdateTransform();
    }

    // --- Windows metafile records --------------------------------------------------------------

    static QPointF WmfPoint(TByteReader& R)
    {
        const double X = R.I16();
        const double Y = R.I16();
        return {X, Y};
    }

    QPolygonF WmfPoints(TByteReader& R, qint64 Count)
    {
        if (Count < 0 || Count * 4 > R.Left())
            ImageFail(QStringLiteral("points"));
        QPolygonF Pts;
        Pts.reserve(qsizetype(Count));
        for (qint64 I = 0; I < Count; ++I)
            Pts.append(WmfPoint(R));
        return Pts;
    }

    QString WmfString(QByteArrayView Bytes) const
    {
        const int CharSet = S.Font.CharSet;
        const qsizetype End = Bytes.indexOf('\0');
        const QByteArrayView Text = End >= 0 ? Bytes.first(End) : Bytes;
        if (CharSet == 0)
            return DecodeAnsi(Text, TCodePage::cp1252);
        if (CharSet == 2) // symbol fonts: the bytes are glyph numbers
            return QString::fromLatin1(Text);
        return DecodeAnsi(Text, TCodePage::cp1251);
    }

    void WmfFont(TByteReader& R)
    {
        TGdiObject O;
        O.Kind = TGdiObject::okFont;
        O.Font.Height = R.I16();
        R.I16(); // width
        O.Font.Escapement = R.I16();
        R.I16(); // orientation
        O.Font.Weight = R.I16();
        O.Font.Italic = R.U8();
        O.Font.Underline = R.U8();
        O.Font.StrikeOut = R.U8();
        O.Font.CharSet = R.U8();
        R.Skip(4);
        const QByteArrayView Face = R.Bytes(qMin<qsizetype>(32, R.Left()));
        const qsizetype End = Face.indexOf('\0');
        O.Font.Face = DecodeAnsi(End >= 0 ? Face.first(End) : Face, TCodePage::cp1251);
        AddWmfObject(O);
    }

    // The DIB of a blit record: a packed BITMAPINFO and pixels.
    static QImage WmfDib(TByteReader& R) { return DibFrom(R.Bytes(R.Left()), {}); }

    void PlayWmf(quint32 Function, TByteReader R, QByteArrayView Rec)
    {
        // Records without their optional bitmap are (function's high byte + 3) words long.
        const bool NoBitmap = Rec.size() / 2 == qsizetype((Function >> 8) + 3);
        switch (Function) {
        case META_SETBKCOLOR:
            S.BkColour = ColourRef(R.U32());
            break;
        case META_SETBKMODE:
            S.BkMode = R.U16();
            break;
        case META_SETPOLYFILLMODE:
            S.FillRule = R.U16() == ALTERNATE ? Qt::OddEvenFill : Qt::WindingFill;
            break;
        case META_SETTEXTCOLOR:
            S.TextColour = ColourRef(R.U32());
            break;
        case META_SETTEXTALIGN:
            S.TextAlign = R.U16();
            break;
        case META_SETWINDOWORG: {
            const double Y = R.I16(), X = R.I16();
            S.WinOrg = {X, Y};
            UpdateTransform();
            break;
        }
        case META_SETWINDOWEXT: {
            const double Y = R.I16(), X = R.I16();
            if (X != 0 && Y != 0) {
                S.WinExt = {X, Y};
                UpdateTransform();
            }
            break;
        }
        case META_OFFSETWINDOWORG: {
            const double Y = R.I16(), X = R.I16();
            S.WinOrg += QPointF(X, Y);
            UpdateTransform();
            break;
        }
        case META_SCALEWINDOWEXT: {
            const double YDen = R.I16(), YNum = R.I16(), XDen = R.I16(), XNum = R.I16();
            if (XDen != 0 && YDen != 0 && XNum != 0 && YNum != 0) {
                S.WinExt = {S.WinExt.x() * XNum / XDen, S.WinExt.y() * YNum / YDen};
                UpdateTransform();
            }
            break;
        }
        case META_MOVETO: {
            const double Y = R.I16(), X = R.I16();
            S.Position = {X, Y};
            break;
        }
        case META_LINETO: {
            const double Y = R.I16(), X = R.I16();
            LineTo({X, Y});
            break;
        }
        case META_EXCLUDECLIPRECT:
        case META_INTERSECTCLIPRECT: {
            const double B = R.I16(), Ri = R.I16(), T = R.I16(), L = R.I16();
            ClipRect(BoxOf(L, T, Ri, B), Function == META_EXCLUDECLIPRECT);
            break;
        }
        case META_ARC:
        case META_PIE:
        case META_CHORD: {
            const double YE = R.I16(), XE = R.I16(), YS = R.I16(), XS = R.I16();
            const double B = R.I16(), Ri = R.I16(), T = R.I16(), L = R.I16();
            ArcShape(BoxOf(L, T, Ri, B), {XS, YS}, {XE, YE},
                     Function == META_ARC     ? 0
                     : Function == META_CHORD ? 1
                                              : 2);
            break;
        }
        case META_ELLIPSE:
        case META_RECTANGLE: {
            const double B = R.I16(), Ri = R.I16(), T = R.I16(), L = R.I16();
            QPainterPath Pth;
            if (Function == META_ELLIPSE)
                Pth.addEllipse(BoxOf(L, T, Ri, B));
            else
                Pth.addRect(BoxOf(L, T, Ri, B));
            Shape(Pth, true, true);
            break;
        }
        case META_ROUNDRECT: {
            const double H = R.I16(), W = R.I16();
            const double B = R.I16(), Ri = R.I16(), T = R.I16(), L = R.I16();
            QPainterPath Pth;
            Pth.addRoundedRect(BoxOf(L, T, Ri, B), std::fabs(W) / 2, std::fabs(H) / 2);
            Shape(Pth, true, true);
            break;
        }
        case META_SETPIXEL: {
            const QRgb C = ColourRef(R.U32());
            const double Y = R.I16(), X = R.I16();
            FillRect(QRectF(X, Y, 1, 1), QColor::fromRgb(C));
            break;
        }
        case META_POLYGON:
        case META_POLYLINE: {
            const qint64 Count = R.I16();
            Polygon(WmfPoints(R, Count), Function == META_POLYGON);
            break;
        }
        case META_POLYPOLYGON: {
            const int Polys = R.U16();
            if (qint64(Polys) * 2 > R.Left())
                break;
            QList<int> Counts;
            for (int I = 0; I < Polys; ++I)
                Counts.append(R.U16());
            QPainterPath Pth;
            for (int Count : Counts) {
                const QPolygonF Pts = WmfPoints(R, Count);
                if (Pts.size() >= 2) {
                    Pth.addPolygon(Pts);
                    Pth.closeSubpath();
                }
            }
            Shape(Pth, true, true);
            break;
        }
        case META_TEXTOUT: {
            const int Count = R.I16();
            if (Count < 0 || Count > MaxTextLength)
                break;
            const QByteArrayView Bytes = R.Bytes(Count);
            R.Skip(Count & 1);
            const double Y = R.I16(), X = R.I16();
            Text({X, Y}, WmfString(Bytes), 0, std::nullopt);
            break;
        }
        case META_EXTTEXTOUT: {
            const double Y = R.I16(), X = R.I16();
            const int Count = R.I16();
            const quint16 Options = R.U16();
            std::optional<QRectF> Rect;
            if (Options & (ETO_OPAQUE | ETO_CLIPPED)) {
                const double L = R.I16(), T = R.I16(), Ri = R.I16(), B = R.I16();
                Rect = BoxOf(L, T, Ri, B);
            }
            if (Count < 0 || Count > MaxTextLength)
                break;
            Text({X, Y}, WmfString(R.Bytes(qMin<qsizetype>(Count, R.Left()))), Options, Rect);
            break;
        }
        case META_PATBLT: {
            const quint32 Rop = R.U32();
            const double H = R.I16(), W = R.I16(), Y = R.I16(), X = R.I16();
            Blit({}, {}, {X, Y}, {W, H}, Rop);
            break;
        }
        case META_DIBBITBLT: {
            const quint32 Rop = R.U32();
            const double YSrc = R.I16(), XSrc = R.I16();
            if (NoBitmap)
                R.I16();
            const double H = R.I16(), W = R.I16(), Y = R.I16(), X = R.I16();
            const QImage Img = NoBitmap ? QImage() : WmfDib(R);
            Blit(Img, QRectF(XSrc, YSrc, W, H), {X, Y}, {W, H}, Rop);
            break;
        }
        case META_DIBSTRETCHBLT: {
            const quint32 Rop = R.U32();
            const double SH = R.I16(), SW = R.I16(), YSrc = R.I16(), XSrc = R.I16();
            if (NoBitmap)
                R.I16();
            const double H = R.I16(), W = R.I16(), Y = R.I16(), X = R.I16();
            const QImage Img = NoBitmap ? QImage() : WmfDib(R);
            Blit(Img, QRectF(XSrc, YSrc, SW, SH), {X, Y}, {W, H}, Rop);
            break;
        }
        case META_STRETCHDIB: {
            const quint32 Rop = R.U32();
            R.U16(); // colour usage
            const double SH = R.I16(), SW = R.I16(), YSrc = R.I16(), XSrc = R.I16();
            const double H = R.I16(), W = R.I16(), Y = R.I16(), X = R.I16();
            const QImage Img = WmfDib(R);
            // The source rectangle of a bottom-up DIB counts rows from the bottom.
            const double Top = Img.isNull() ? YSrc : Img.height() - YSrc - SH;
            Blit(Img, QRectF(XSrc, Top, SW, SH), {X, Y}, {W, H}, Rop);
            break;
        }
        case META_SETDIBTODEV: {
            R.U16(); // colour usage
            R.U16(); // scan count
            R.U16(); // start scan
            const double YDib = R.I16(), XDib = R.I16(), H = R.I16(), W = R.I16(), Y = R.I16(), X = R.I16();
            const QImage Img = WmfDib(R);
            const double Top = Img.isNull() ? YDib : Img.height() - YDib - H;
            Blit(Img, QRectF(XDib, Top, W, H), {X, Y}, {W, H}, SRCCOPY);
            break;
        }
        case META_SAVEDC:
            Save();
            break;
        case META_RESTOREDC:
            Restore(R.I16());
            break;
        case META_SELECTOBJECT:
            SelectObject(R.U16());
            break;
        case META_DELETEOBJECT:
            DeleteObject(R.U16());
            break;
        case META_CREATEPENINDIRECT: {
            const quint16 Style = R.U16();
            const double Width = R.I16();
            R.I16();
            TGdiObject O;
            O.Kind = TGdiObject::okPen;
            O.Pen = MakePen(Style, std::fabs(Width), ColourRef(R.U32()));
            AddWmfObject(O);
            break;
        }
        case META_CREATEBRUSHINDIRECT: {
            const quint16 Style = R.U16();
            const QRgb C = ColourRef(R.U32());
            const quint16 Hatch = R.U16();
            TGdiObject O;
            O.Kind = TGdiObject::okBrush;
            O.Brush = MakeBrush(Style, C, Hatch);
            AddWmfObject(O);
            break;
        }
        case META_DIBCREATEPATTERNBRUSH: {
            R.U16(); // style
            R.U16(); // colour usage
            TGdiObject O;
            O.Kind = TGdiObject::okBrush;
            O.Brush = PatternBrush(WmfDib(R));
            AddWmfObject(O);
            break;
        }
        case META_CREATEFONTINDIRECT:
            WmfFont(R);
            break;
        case META_CREATEPALETTE:
        case META_CREATEPATTERNBRUSH:
        case META_CREATEREGION:
            // Objects the player does not draw with still take their slot in the table.
            AddWmfObject(TGdiObject());
            break;
        default:
            break;
        }
    }

    // --- enhanced metafile records ---------------------------------------------------------------

    static QPointF EmfPoint(TByteReader& R)
    {
        const double X = R.I32();
        const double Y = R.I32();
        return {X, Y};
    }

    static QRectF EmfBox(TByteReader& R)
    {
        const double L = R.I32(), T = R.I32(), Ri = R.I32(), B = R.I32();
        return QRectF(QPointF(L, T), QPointF(Ri, B)).normalized();
    }

    static QPolygonF EmfPoints(TByteReader& R, qint64 Count, bool Short)
    {
        if (Count < 0 || Count * (Short ? 4 : 8) > R.Left())
            ImageFail(QStringLiteral("points"));
        QPolygonF Pts;
        Pts.reserve(qsizetype(Count));
        for (qint64 I = 0; I < Count; ++I) {
            if (Short) {
                const double X = R.I16();
                const double Y = R.I16();
                Pts.append({X, Y});
            } else {
                Pts.append(EmfPoint(R));
            }
        }
        return Pts;
    }

    static QTransform EmfXform(TByteReader& R)
    {
        const double M11 = R.F32(), M12 = R.F32(), M21 = R.F32(), M22 = R.F32(), Dx = R.F32(), Dy = R.F32();
        return QTransform(M11, M12, M21, M22, Dx, Dy);
    }

    // A DIB inside an EMF record, given by offsets from the record's start.
    static QImage EmfDib(QByteArrayView Rec, quint32 OffBmi, quint32 CbBmi, quint32 OffBits, quint32 CbBits)
    {
        if (CbBmi == 0 || quint64(OffBmi) + CbBmi > quint64(Rec.size()) ||
            quint64(OffBits) + CbBits > quint64(Rec.size()))
            return {};
        return DibFrom(Rec.sliced(OffBmi, CbBmi), Rec.sliced(OffBits, CbBits));
    }

    // Rectangles of a RGNDATA in device units, mapped to target pixels.
    QRegion EmfRegion(TByteReader& R, quint32 Size)
    {
        if (Size < 32 || Size > R.Left())
            ImageFail(QStringLiteral("region"));
        TByteReader H(R.Bytes(Size));
        H.U32(); // header size
        H.U32(); // type
        const quint32 Count = H.U32();
        H.U32();    // size of the rectangles
        H.Skip(16); // bounds
        if (quint64(Count) * 16 > quint64(H.Left()))
            ImageFail(QStringLiteral("region"));
        const QTransform D = DeviceToTarget();
        QList<QRect> Rects;
        Rects.reserve(qsizetype(Count));
        for (quint32 I = 0; I < Count; ++I)
            Rects.append(SafeRect(D.mapRect(EmfBox(H))));
        // The stored rectangles need not be banded as QRegion::setRects wants; uniting accepts any.
        QRegion Valid;
        for (const QRect& Rc : Rects)
            Valid += Rc;
        return Valid;
    }

    void EmfFont(TByteReader& R)
    {
        const quint32 Index = R.U32();
        TGdiObject O;
        O.Kind = TGdiObject::okFont;
        O.Font.Height = R.I32();
        R.I32(); // width
        O.Font.Escapement = R.I32();
        R.I32(); // orientation
        O.Font.Weight = R.I32();
        O.Font.Italic = R.U8();
        O.Font.Underline = R.U8();
        O.Font.StrikeOut = R.U8();
        O.Font.CharSet = R.U8();
        R.Skip(4);
        const qsizetype Chars = qMin<qsizetype>(32, R.Left() / 2);
        QString Face;
        for (qsizetype I = 0; I < Chars; ++I) {
            const char16_t C = R.U16();
            if (!C)
                break;
            Face.append(QChar(C));
        }
        O.Font.Face = Face;
        SetObject(Index, O);
    }

    void EmfText(TByteReader& R, QByteArrayView Rec, bool Wide)
    {
        R.Skip(16); // bounds
        R.U32();    // graphics mode
        R.F32();    // x scale
        R.F32();    // y scale
        const QPointF Ref = EmfPoint(R);
        const quint32 Chars = R.U32();
        const quint32 Offset = R.U32();
        const quint32 Options = R.U32();
        const QRectF Rect = EmfBox(R);
        if (Options & ETO_GLYPH_INDEX || Chars > quint32(MaxTextLength))
            return;
        const quint64 Bytes = quint64(Chars) * (Wide ? 2 : 1);
        if (quint64(Offset) + Bytes > quint64(Rec.size()))
            return;
        const QByteArrayView Raw = Rec.sliced(Offset, qsizetype(Bytes));
        QString Str;
        if (Wide) {
            for (quint32 I = 0; I < Chars; ++I)
                Str.append(QChar(qFromLittleEndian<quint16>(Raw.data() + 2 * I)));
        } else {
            Str =
                S.Font.CharSet == 0 ? DecodeAnsi(Raw, TCodePage::cp1252) : DecodeAnsi(Raw, TCodePage::cp1251);
        }
        std::optional<QRectF> Box;
        if (Options & (ETO_OPAQUE | ETO_CLIPPED))
            Box = Rect;
        Text(Ref, Str, Options, Box);
    }

    void PolyPoly(TByteReader& R, bool Closed, bool Short)
    {
        R.Skip(16);
        const quint32 Polys = R.U32();
        const quint32 Total = R.U32();
        if (quint64(Polys) * 4 > quint64(R.Left()))
            return;
        QList<quint32> Counts;
        quint64 Sum = 0;
        for (quint32 I = 0; I < Polys; ++I) {
            Counts.append(R.U32());
            Sum += Counts.last();
        }
        if (Sum != Total)
            return;
        QPainterPath Pth;
        for (quint32 Count : Counts) {
            const QPolygonF Pts = EmfPoints(R, Count, Short);
            if (Pts.size() < 2)
                continue;
            Pth.addPolygon(Pts);
            if (Closed)
                Pth.closeSubpath();
        }
        Shape(Pth, Closed, true);
    }

    void PlayEmf(quint32 Type, TByteReader R, QByteArrayView Rec)
    {
        switch (Type) {
        case EMR_POLYGON:
        case EMR_POLYLINE:
        case EMR_POLYBEZIER:
        case EMR_POLYGON16:
        case EMR_POLYLINE16:
        case EMR_POLYBEZIER16:
        case EMR_POLYBEZIERTO:
        case EMR_POLYLINETO:
        case EMR_POLYBEZIERTO16:
        case EMR_POLYLINETO16: {
            const bool Short = Type >= EMR_POLYBEZIER16;
            R.Skip(16);
            const QPolygonF Pts = EmfPoints(R, R.U32(), Short);
            if (Type == EMR_POLYGON || Type == EMR_POLYGON16)
                Polygon(Pts, true);
            else if (Type == EMR_POLYLINE || Type == EMR_POLYLINE16)
                Polygon(Pts, false);
            else if (Type == EMR_POLYBEZIER || Type == EMR_POLYBEZIER16)
                Bezier(Pts);
            else
                PolyTo(Pts, Type == EMR_POLYBEZIERTO || Type == EMR_POLYBEZIERTO16);
            break;
        }
        case EMR_POLYPOLYLINE:
        case EMR_POLYPOLYGON:
        case EMR_POLYPOLYLINE16:
        case EMR_POLYPOLYGON16:
            PolyPoly(R, Type == EMR_POLYPOLYGON || Type == EMR_POLYPOLYGON16, Type >= EMR_POLYPOLYLINE16);
            break;
        case EMR_SETWINDOWEXTEX:
        case EMR_SETVIEWPORTEXTEX: {
            const QPointF E = EmfPoint(R);
            if (E.x() != 0 && E.y() != 0) {
                (Type == EMR_SETWINDOWEXTEX ? S.WinExt : S.VpExt) = E;
                UpdateTransform();
            }
            break;
        }
        case EMR_SETWINDOWORGEX:
            S.WinOrg = EmfPoint(R);
            UpdateTransform();
            break;
        case EMR_SETVIEWPORTORGEX:
            S.VpOrg = EmfPoint(R);
            UpdateTransform();
            break;
        case EMR_SCALEVIEWPORTEXTEX:
        case EMR_SCALEWINDOWEXTEX: {
            const double XNum = R.I32(), XDen = R.I32(), YNum = R.I32(), YDen = R.I32();
            if (XNum == 0 || XDen == 0 || YNum == 0 || YDen == 0)
                break;
            QPointF& E = Type == EMR_SCALEWINDOWEXTEX ? S.WinExt : S.VpExt;
            E = {E.x() * XNum / XDen, E.y() * YNum / YDen};
            UpdateTransform();
            break;
        }
        case EMR_SETMAPMODE: {
            const quint32 Mode = R.U32();
            if (Mode >= MM_TEXT && Mode <= MM_ANISOTROPIC) {
                S.MapMode = int(Mode);
                UpdateTransform();
            }
            break;
        }
        case EMR_SETBKMODE:
            S.BkMode = int(R.U32());
            break;
        case EMR_SETPOLYFILLMODE:
            S.FillRule = R.U32() == ALTERNATE ? Qt::OddEvenFill : Qt::WindingFill;
            break;
        case EMR_SETTEXTALIGN:
            S.TextAlign = int(R.U32());
            break;
        case EMR_SETTEXTCOLOR:
            S.TextColour = ColourRef(R.U32());
            break;
        case EMR_SETBKCOLOR:
            S.BkColour = ColourRef(R.U32());
            break;
        case EMR_SETARCDIRECTION:
            S.Clockwise = R.U32() == AD_CLOCKWISE;
            break;
        case EMR_MOVETOEX:
            S.Position = EmfPoint(R);
            if (InPath && Usable)
                Path.moveTo(ToTarget.map(S.Position));
            break;
        case EMR_LINETO:
            LineTo(EmfPoint(R));
            break;
        case EMR_SETPIXELV: {
            const QPointF Pt = EmfPoint(R);
            FillRect(QRectF(Pt, QSizeF(1, 1)), QColor::fromRgb(ColourRef(R.U32())));
            break;
        }
        case EMR_EXCLUDECLIPRECT:
        case EMR_INTERSECTCLIPRECT:
            ClipRect(EmfBox(R), Type == EMR_EXCLUDECLIPRECT);
            break;
        case EMR_EXTSELECTCLIPRGN: {
            const quint32 Size = R.U32();
            const int Mode = int(R.U32());
            if (Size == 0) {
                if (Mode == RGN_COPY)
                    S.Clip.reset();
                break;
            }
            CombineClip(EmfRegion(R, Size), Mode);
            break;
        }
        case EMR_SAVEDC:
            Save();
            break;
        case EMR_RESTOREDC:
            Restore(R.I32());
            break;
        case EMR_SETWORLDTRANSFORM: {
            const QTransform X = EmfXform(R);
            if (GoodTransform(X)) {
                S.World = X;
                UpdateTransform();
            }
            break;
        }
        case EMR_MODIFYWORLDTRANSFORM: {
            const QTransform X = EmfXform(R);
            const quint32 Mode = R.U32();
            QTransform W = S.World;
            if (Mode == 1)
                W = QTransform();
            else if (Mode == 2)
                W = X * S.World;
            else if (Mode == 3)
                W = S.World * X;
            else if (Mode == 4)
                W = X;
            if (GoodTransform(W)) {
                S.World = W;
                UpdateTransform();
            }
            break;
        }
        case EMR_SELECTOBJECT:
            SelectObject(R.U32());
            break;
        case EMR_DELETEOBJECT:
            DeleteObject(R.U32());
            break;
        case EMR_CREATEPEN: {
            const quint32 Index = R.U32();
            const quint32 Style = R.U32();
            const double Width = R.I32();
            R.I32();
            TGdiObject O;
            O.Kind = TGdiObject::okPen;
            O.Pen = MakePen(Style, std::fabs(Width), ColourRef(R.U32()));
            SetObject(Index, O);
            break;
        }
        case EMR_EXTCREATEPEN: {
            const quint32 Index = R.U32();
            R.Skip(16); // bitmap of a pattern pen
            const quint32 Style = R.U32();
            const double Width = R.U32();
            const quint32 BrushStyle = R.U32();
            const QRgb C = ColourRef(R.U32());
            TGdiObject O;
            O.Kind = TGdiObject::okPen;
            // A cosmetic pen is one pixel wide whatever the width says.
            O.Pen = MakePen(Style, (Style & 0x00010000) ? qMin(Width, 1e6) : 0, C);
            if (BrushStyle == 1)
                O.Pen.Null = true;
            SetObject(Index, O);
            break;
        }
        case EMR_CREATEBRUSHINDIRECT: {
            const quint32 Index = R.U32();
            const quint32 Style = R.U32();
            const QRgb C = ColourRef(R.U32());
            const quint32 Hatch = R.U32();
            TGdiObject O;
            O.Kind = TGdiObject::okBrush;
            O.Brush = MakeBrush(Style, C, Hatch);
            SetObject(Index, O);
            break;
        }
        case EMR_CREATEDIBPATTERNBRUSHPT:
        case EMR_CREATEMONOBRUSH: {
            const quint32 Index = R.U32();
            R.U32(); // usage
            const quint32 OffBmi = R.U32(), CbBmi = R.U32(), OffBits = R.U32(), CbBits = R.U32();
            TGdiObject O;
            O.Kind = TGdiObject::okBrush;
            O.Brush = PatternBrush(EmfDib(Rec, OffBmi, CbBmi, OffBits, CbBits));
            SetObject(Index, O);
            break;
        }
        case EMR_EXTCREATEFONTINDIRECTW:
            EmfFont(R);
            break;
        case EMR_ELLIPSE:
        case EMR_RECTANGLE: {
            QPainterPath Pth;
            if (Type == EMR_ELLIPSE)
                Pth.addEllipse(EmfBox(R));
            else
                Pth.addRect(EmfBox(R));
            Shape(Pth, true, true);
            break;
        }
        case EMR_ROUNDRECT: {
            const QRectF Box = EmfBox(R);
            const double W = R.I32(), H = R.I32();
            QPainterPath Pth;
            Pth.addRoundedRect(Box, std::fabs(W) / 2, std::fabs(H) / 2);
            Shape(Pth, true, true);
            break;
        }
        case EMR_ARC:
        case EMR_CHORD:
        case EMR_PIE:
        case EMR_ARCTO: {
            const QRectF Box = EmfBox(R);
            const QPointF Start = EmfPoint(R), End = EmfPoint(R);
            ArcShape(Box, Start, End, Type == EMR_CHORD ? 1 : Type == EMR_PIE ? 2 : 0);
            break;
        }
        case EMR_ANGLEARC: {
            const QPointF C = EmfPoint(R);
            const double Radius = R.U32();
            const double Start = R.F32(), Sweep = R.F32();
            if (!Finite(Start) || !Finite(Sweep) || Radius > 1e9)
                break;
            const QRectF Box(C.x() - Radius, C.y() - Radius, 2 * Radius, 2 * Radius);
            QPainterPath Pth(S.Position);
            Pth.arcTo(Box, Start, qBound(-3600.0, Sweep, 3600.0));
            S.Position = Pth.currentPosition();
            Shape(Pth, false, true);
            break;
        }
        case EMR_BEGINPATH:
            InPath = true;
            Path = QPainterPath();
            break;
        case EMR_ENDPATH:
            InPath = false;
            break;
        case EMR_ABORTPATH:
            InPath = false;
            Path = QPainterPath();
            break;
        case EMR_CLOSEFIGURE:
            if (InPath)
                Path.closeSubpath();
            break;
        case EMR_FILLPATH:
        case EMR_STROKEPATH:
        case EMR_STROKEANDFILLPATH:
            if (!InPath) {
                DrawMapped(Path, Type != EMR_STROKEPATH, Type != EMR_FILLPATH);
                Path = QPainterPath();
            }
            break;
        case EMR_SELECTCLIPPATH: {
            const int Mode = int(R.U32());
            if (!InPath) {
                CombineClip(PathRegion(Path), Mode);
                Path = QPainterPath();
            }
            break;
        }
        case EMR_FILLRGN:
        case EMR_PAINTRGN: {
            R.Skip(16);
            const quint32 Size = R.U32();
            QBrush Brush = CurrentBrush();
            if (Type == EMR_FILLRGN) {
                const quint32 Index = R.U32();
                const auto It = Objects.find(Index);
                if (It == Objects.end() || It->second.Kind != TGdiObject::okBrush)
                    break;
                const TGdiBrush Saved = S.Brush;
                S.Brush = It->second.Brush;
                Brush = CurrentBrush();
                S.Brush = Saved;
            }
            const QRegion Region = EmfRegion(R, Size);
            WithClip([&] {
                for (const QRect& Rc : Region)
                    P.fillRect(Rc, Brush);
            });
            break;
        }
        case EMR_BITBLT:
        case EMR_STRETCHBLT: {
            R.Skip(16);
            const double X = R.I32(), Y = R.I32(), W = R.I32(), H = R.I32();
            const quint32 Rop = R.U32();
            const double XSrc = R.I32(), YSrc = R.I32();
            R.Skip(24); // source transform
            R.U32();    // background colour
            R.U32();    // usage
            const quint32 OffBmi = R.U32(), CbBmi = R.U32(), OffBits = R.U32(), CbBits = R.U32();
            double SW = W, SH = H;
            if (Type == EMR_STRETCHBLT) {
                SW = R.I32();
                SH = R.I32();
            }
            const QImage Img = CbBmi ? EmfDib(Rec, OffBmi, CbBmi, OffBits, CbBits) : QImage();
            if (CbBmi && Img.isNull())
                break;
            Blit(Img, QRectF(XSrc, YSrc, SW, SH), {X, Y}, {W, H}, Rop);
            break;
        }
        case EMR_STRETCHDIBITS:
        case EMR_SETDIBITSTODEVICE: {
            R.Skip(16);
            const double X = R.I32(), Y = R.I32(), XSrc = R.I32(), YSrc = R.I32();
            const double SW = R.I32(), SH = R.I32();
            const quint32 OffBmi = R.U32(), CbBmi = R.U32(), OffBits = R.U32(), CbBits = R.U32();
            R.U32(); // usage
            double W = SW, H = SH;
            quint32 Rop = SRCCOPY;
            if (Type == EMR_STRETCHDIBITS) {
                Rop = R.U32();
                W = R.I32();
                H = R.I32();
            }
            const QImage Img = EmfDib(Rec, OffBmi, CbBmi, OffBits, CbBits);
            if (Img.isNull())
                break;
            // The source rectangle of a bottom-up DIB counts rows from the bottom.
            Blit(Img, QRectF(XSrc, Img.height() - YSrc - SH, SW, SH), {X, Y}, {W, H}, Rop);
            break;
        }
        case EMR_ALPHABLEND: {
            R.Skip(16);
            const double X = R.I32(), Y = R.I32(), W = R.I32(), H = R.I32();
            R.U8();                           // blend operation
            R.U8();                           // flags
            const int Constant = R.U8();      // alpha for the whole source
            const bool PerPixel = R.U8() & 1; // source has premultiplied alpha
            const double XSrc = R.I32(), YSrc = R.I32();
            R.Skip(24);
            R.U32();
            R.U32();
            const quint32 OffBmi = R.U32(), CbBmi = R.U32(), OffBits = R.U32(), CbBits = R.U32();
            const double SW = R.I32(), SH = R.I32();
            if (!CbBmi || quint64(OffBmi) + CbBmi > quint64(Rec.size()) ||
                quint64(OffBits) + CbBits > quint64(Rec.size()))
                break;
            QImage Img;
            try {
                const TDibHeader Hd = ReadDibHeader(Rec.sliced(OffBmi, CbBmi));
                Img = DecodeDibPixels(Hd, Hd.Height, Rec.sliced(OffBits, CbBits),
                                      PerPixel && Hd.BitCount == 32);
            } catch (const EImageData&) {
                break;
            }
            if (PerPixel && Img.hasAlphaChannel())
                Img.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
            P.save();
            P.setOpacity(P.opacity() * Constant / 255.0);
            Blit(Img, QRectF(XSrc, YSrc, SW, SH), {X, Y}, {W, H}, SRCCOPY);
            P.restore();
            break;
        }
        case EMR_EXTTEXTOUTW:
        case EMR_EXTTEXTOUTA:
            EmfText(R, Rec, Type == EMR_EXTTEXTOUTW);
            break;
        default:
            break;
        }
    }
};

// --- reading --------------------------------------------------------------------------------------

std::unique_ptr<TMetafileGraphic> TMetafileGraphic::Read(QByteArrayView Data, bool Enhanced, QString& Error)
{
    auto M = std::make_unique<TMetafileGraphic>();
    M->IsEnhanced = Enhanced;
    try {
        TByteReader R(Data);
        const TImageLimits& L = ImageLimits();
        if (!Enhanced) {
            QRectF Frame;
            bool Placeable = false;
            double Inch = 0;
            if (Data.size() >= 4 && qFromLittleEndian<quint32>(Data.data()) == PlaceableKey) {
                R.Skip(6); // key, handle
                const double Left = R.I16(), Top = R.I16(), Right = R.I16(), Bottom = R.I16();
                Inch = R.U16();
                R.Skip(6); // reserved, checksum
                if (Inch == 0)
                    ImageFail(QStringLiteral("placeable header gives 0 units per inch"));
                Frame = QRectF(QPointF(Left, Top), QPointF(Right, Bottom));
                Placeable = true;
            }
            const qsizetype HeaderAt = R.Position();
            const quint16 Type = R.U16();
            const quint16 HeaderWords = R.U16();
            if ((Type != 1 && Type != 2) || HeaderWords != 9)
                ImageFail(QStringLiteral("no metafile header"));
            R.U16(); // version
            R.U32(); // size in words
            M->ObjectCount = R.U16();
            R.U32(); // largest record
            R.U16(); // unused
            R.Seek(HeaderAt + 18);
            bool HasOrg = false, HasExt = false;
            QPointF Org, Ext;
            while (!R.AtEnd()) {
                const qsizetype At = R.Position();
                if (R.Left() < 6)
                    ImageFail(QStringLiteral("record %1 is cut short").arg(M->RecordList.size()));
                const quint64 Words = R.U32();
                const quint16 Function = R.U16();
                if (Words < 3 || Words * 2 > quint64(Data.size() - At))
                    ImageFail(QStringLiteral("record %1 has a bad size").arg(M->RecordList.size()));
                if (Function == META_EOF)
                    break;
                if (M->RecordList.size() >= L.MaxMetafileRecords)
                    ImageFail(QStringLiteral("more than %1 records").arg(L.MaxMetafileRecords));
                M->RecordList.append({Function, At, qsizetype(Words * 2)});
                if (!Placeable && Words >= 5 &&
                    (Function == META_SETWINDOWORG || Function == META_SETWINDOWEXT)) {
                    TByteReader P(Data, At + 6);
                    const double Y = P.I16(), X = P.I16();
                    if (Function == META_SETWINDOWORG && !HasOrg) {
                        Org = {X, Y};
                        HasOrg = true;
                    } else if (Function == META_SETWINDOWEXT && !HasExt && X != 0 && Y != 0) {
                        Ext = {X, Y};
                        HasExt = true;
                    }
                }
                R.Seek(At + qsizetype(Words * 2));
            }
            if (Placeable) {
                M->FrameRect = Frame;
                M->PixelSize = QSize(int(std::lround(std::fabs(Frame.width()) * 96 / Inch)),
                                     int(std::lround(std::fabs(Frame.height()) * 96 / Inch)));
            } else {
                // Without the placeable header the window the records set is the picture, one
                // logical unit a pixel.
                if (!HasExt)
                    ImageFail(
                        QStringLiteral("no placeable header and no window extent: the size is unknown"));
                M->FrameRect = QRectF(Org, QSizeF(Ext.x(), Ext.y()));
                M->PixelSize = QSize(int(std::fabs(Ext.x())), int(std::fabs(Ext.y())));
            }
            if (M->FrameRect.width() == 0 || M->FrameRect.height() == 0)
                ImageFail(QStringLiteral("the picture's frame is empty"));
        } else {
            if (R.U32() != EMR_HEADER)
                ImageFail(QStringLiteral("no enhanced metafile header"));
            const quint32 HeaderSize = R.U32();
            const QRectF Bounds = [&] {
                const double Lf = R.I32(), T = R.I32(), Ri = R.I32(), B = R.I32();
                return QRectF(QPointF(Lf, T), QPointF(Ri, B));
            }();
            const double FL = R.I32(), FT = R.I32(), FR = R.I32(), FB = R.I32();
            if (R.U32() != EmfSignature)
                ImageFail(QStringLiteral("no enhanced metafile signature"));
            R.U32(); // version
            R.U32(); // bytes
            R.U32(); // records
            M->ObjectCount = R.U16();
            R.U16();
            R.Skip(12); // description, palette entries
            const double DevW = R.I32(), DevH = R.I32(), MmW = R.I32(), MmH = R.I32();
            if (HeaderSize < 88 || HeaderSize % 4 || HeaderSize > quint32(Data.size()))
                ImageFail(QStringLiteral("bad header size %1").arg(HeaderSize));
            if (DevW > 0 && DevH > 0 && MmW > 0 && MmH > 0) {
                M->PixelsPerMmX = DevW / MmW;
                M->PixelsPerMmY = DevH / MmH;
            }
            // The frame is kept in hundredths of a millimetre; the picture shows at 96 pixels per
            // inch.
            const QRectF FrameMm(QPointF(FL, FT), QPointF(FR, FB));
            double PixelW, PixelH;
            if (FrameMm.width() > 0 && FrameMm.height() > 0) {
                PixelW = FrameMm.width() * 96 / 2540;
                PixelH = FrameMm.height() * 96 / 2540;
                M->FrameRect =
                    QRectF(FL * M->PixelsPerMmX / 100, FT * M->PixelsPerMmY / 100,
                           FrameMm.width() * M->PixelsPerMmX / 100, FrameMm.height() * M->PixelsPerMmY / 100);
            } else {
                // Without a frame the bounds (inclusive, in reference-device pixels) are the picture.
                M->FrameRect = QRectF(Bounds.topLeft(), QSizeF(Bounds.width() + 1, Bounds.height() + 1));
                PixelW = M->FrameRect.width();
                PixelH = M->FrameRect.height();
            }
            if (!(M->FrameRect.width() > 0) || !(M->FrameRect.height() > 0))
                ImageFail(QStringLiteral("the picture's frame is empty"));
            // Checked while still a wide number, so that no size wraps around on the way to int.
            const QString SizeReason = CheckImageSize(std::llround(PixelW), std::llround(PixelH));
            if (!SizeReason.isEmpty())
                ImageFail(SizeReason);
            M->PixelSize = QSize(int(std::llround(PixelW)), int(std::llround(PixelH)));
            R.Seek(HeaderSize);
            while (!R.AtEnd()) {
                const qsizetype At = R.Position();
                if (R.Left() < 8)
                    ImageFail(QStringLiteral("record %1 is cut short").arg(M->RecordList.size()));
                const quint32 Type = R.U32();
                const quint32 Size = R.U32();
                if (Size < 8 || Size % 4 || Size > quint64(Data.size() - At))
                    ImageFail(QStringLiteral("record %1 has a bad size").arg(M->RecordList.size()));
                if (Type == EMR_EOF)
                    break;
                if (M->RecordList.size() >= L.MaxMetafileRecords)
                    ImageFail(QStringLiteral("more than %1 records").arg(L.MaxMetafileRecords));
                M->RecordList.append({Type, At, qsizetype(Size)});
                R.Seek(At + qsizetype(Size));
            }
        }
        const QString SizeReason = CheckImageSize(M->PixelSize.width(), M->PixelSize.height());
        if (!SizeReason.isEmpty())
            ImageFail(SizeReason);
    } catch (const EImageData& E) {
        Error = E.Reason;
        return nullptr;
    }
    M->Bytes = Data.toByteArray();
    return M;
}

void TMetafileGraphic::Draw(QPainter& Painter, const QRectF& Target) const
{
    if (!Target.isValid() || Target.isEmpty())
        return;
    Painter.save();
    Painter.setClipRect(Target, Qt::IntersectClip);
    // Drawings exported as many thin filled shapes fall apart into dots without smoothing; a pen
    // thinner than a pixel is still drawn one pixel wide (CurrentPen).
    Painter.setRenderHint(QPainter::Antialiasing, true);
    TMetafilePlayer(*this, Painter, Target).Play();
    Painter.restore();
}
