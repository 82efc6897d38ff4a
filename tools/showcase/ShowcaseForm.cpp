#include "ShowcaseForm.h"

#include "CategoryChooser.h"
#include "Colors.h"
#include "Image.h"
#include "ImageList.h"
#include "Label.h"
#include "LabeledImage.h"
#include "Picture.h"
#include "Thumbnails.h"
#include "VeltraneBtn.h"
#include "VeltraneImage.h"
#include "VeltraneText.h"

#include <QCoreApplication>
#include <QImage>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <array>

using namespace Qt::StringLiterals;

namespace {

// The key colour of the skin pictures: the bottom-left pixel, left unpainted.
const QColor KeyColor(0xFF, 0x00, 0xFF);

// The columns of the window.
constexpr int LeftColumn = 20;
constexpr int RightColumn = 440;
constexpr int ColumnWidth = 400;

QImage NewBitmap(int Width, int Height, const QColor& Fill)
{
    QImage Image(Width, Height, QImage::Format_RGB32);
    Image.fill(Fill);
    return Image;
}

// A skin button: a rounded plate with a play mark on the key colour. Drawn without smoothing, so that
// no edge pixel mixes with the key colour.
QImage ButtonGlyph(const QColor& Top, const QColor& Bottom)
{
    QImage Image = NewBitmap(72, 72, KeyColor);
    QPainter P(&Image);
    QLinearGradient Plate(0, 4, 0, 68);
    Plate.setColorAt(0, Top);
    Plate.setColorAt(1, Bottom);
    P.setPen(QPen(Bottom.darker(140), 2));
    P.setBrush(Plate);
    P.drawRoundedRect(QRect(5, 5, 62, 62), 14, 14);
    P.setPen(Qt::NoPen);
    P.setBrush(QColor(0xFF, 0xFF, 0xFF));
    const QPoint Mark[] = {{28, 21}, {28, 51}, {52, 36}};
    P.drawPolygon(Mark, 3);
    return Image;
}

// The backdrop the skin images stand on: diagonal stripes, so that see-through parts show.
QImage Stripes(int Width, int Height)
{
    QImage Image = NewBitmap(Width, Height, QColor(0xDD, 0xE6, 0xF0));
    QPainter P(&Image);
    P.setRenderHint(QPainter::Antialiasing);
    P.setPen(QPen(QColor(0xA9, 0xBE, 0xD6), 7));
    for (int X = -Height; X < Width; X += 18)
        P.drawLine(X, Height, X + Height, 0);
    return Image;
}

// A small landscape for the thumbnail strip: sky, sun and two hills in the given hue.
QImage Landscape(int Width, int Height, int Hue)
{
    QImage Image(Width, Height, QImage::Format_RGB32);
    QPainter P(&Image);
    P.setRenderHint(QPainter::Antialiasing);
    QLinearGradient Sky(0, 0, 0, Height);
    Sky.setColorAt(0, QColor::fromHsv(Hue, 120, 250));
    Sky.setColorAt(1, QColor::fromHsv((Hue + 30) % 360, 40, 255));
    P.fillRect(Image.rect(), Sky);
    P.setPen(Qt::NoPen);
    P.setBrush(QColor(0xFF, 0xE0, 0x70));
    P.drawEllipse(QPointF(Width * 0.72, Height * 0.3), Height * 0.12, Height * 0.12);
    for (int Hill = 0; Hill < 2; ++Hill) {
        QPainterPath Path;
        const double Base = Height * (0.62 + 0.14 * Hill);
        Path.moveTo(0, Height);
        Path.lineTo(0, Base);
        Path.cubicTo(Width * (0.25 + 0.2 * Hill), Base - Height * 0.28, Width * 0.6, Base + Height * 0.1,
                     Width, Base - Height * 0.12);
        Path.lineTo(Width, Height);
        P.setBrush(QColor::fromHsv((Hue + 120) % 360, 150 + 40 * Hill, 150 - 40 * Hill));
        P.drawPath(Path);
    }
    return Image;
}

// A tab picture: a soft vertical gradient with a light top edge.
QImage TabPicture(const QColor& Top, const QColor& Bottom)
{
    QImage Image(110, 18, QImage::Format_RGB32);
    QPainter P(&Image);
    QLinearGradient Fill(0, 0, 0, 18);
    Fill.setColorAt(0, Top);
    Fill.setColorAt(1, Bottom);
    P.fillRect(Image.rect(), Fill);
    P.setPen(Top.lighter(115));
    P.drawLine(0, 0, 109, 0);
    return Image;
}

// A 16 x 16 icon: a filled shape on transparency.
QImage Icon(const QColor& Color, int Shape)
{
    QImage Image(16, 16, QImage::Format_ARGB32);
    Image.fill(Qt::transparent);
    QPainter P(&Image);
    P.setRenderHint(QPainter::Antialiasing);
    P.setPen(QPen(Color.darker(150), 1));
    P.setBrush(Color);
    if (Shape == 0) {
        P.drawEllipse(QRectF(2.5, 2.5, 11, 11));
    } else if (Shape == 1) {
        P.drawRect(QRectF(2.5, 3.5, 11, 9));
    } else {
        const QPointF Star[] = {{8, 1.5},  {10, 6}, {14.5, 6.5}, {11, 9.5},  {12, 14},
                                {8, 11.5}, {4, 14}, {5, 9.5},    {1.5, 6.5}, {6, 6}};
        P.drawPolygon(Star, 10);
    }
    return Image;
}

// A 48 x 48 picture for the labelled images: a rounded tile with a symbol.
QImage Tile(const QColor& Color, int Symbol)
{
    QImage Image = NewBitmap(
        48, 48,
        QColor::fromRgb(ShowcaseColor & 0xFF, (ShowcaseColor >> 8) & 0xFF, (ShowcaseColor >> 16) & 0xFF));
    QPainter P(&Image);
    P.setRenderHint(QPainter::Antialiasing);
    P.setPen(Qt::NoPen);
    P.setBrush(Color);
    P.drawRoundedRect(QRectF(2, 2, 44, 44), 9, 9);
    P.setBrush(QColor(0xFF, 0xFF, 0xFF));
    if (Symbol == 0) { // a disc
        P.drawEllipse(QPointF(24, 24), 15, 15);
        P.setBrush(Color);
        P.drawEllipse(QPointF(24, 24), 4, 4);
    } else if (Symbol == 1) { // a note
        P.drawEllipse(QPointF(18, 32), 6, 5);
        P.drawRect(QRectF(22, 10, 3, 22));
        P.drawRect(QRectF(22, 10, 10, 4));
    } else { // a folder
        P.drawRect(QRectF(10, 16, 28, 20));
        P.drawRect(QRectF(10, 12, 11, 5));
    }
    return Image;
}

TPicture PictureOf(const QImage& Image)
{
    TPicture Picture;
    Picture.SetBitmap(Image);
    return Picture;
}

} // namespace

TShowcaseF::TShowcaseF(QWidget* Parent) : TForm(Parent, u"ShowcaseF"_s)
{
    SetCaption(u"Component showcase"_s);
    SetColor(ShowcaseColor);
    SetClientWidth(ShowcaseSize.width());
    SetClientHeight(ShowcaseSize.height());
    setFixedSize(size());
    CreateImages();
    CreateButtons();
    CreateText();
    CreateLabeledImages();
    CreateTabs();
    CreateGallery();
}

void TShowcaseF::Heading(int Left, int Top, const QString& Caption)
{
    auto* Label = new TLabel(this);
    Label->Font()->SetStyle(TFont::fsBold);
    Label->Font()->SetSize(10);
    Label->Font()->SetColor(0x5A3A20);
    Label->SetCaption(Caption);
    Label->SetBounds(Left, Top, Label->Width(), Label->Height());
}

void TShowcaseF::Note(int Left, int Top, int Width, const QString& Caption)
{
    auto* Label = new TLabel(this);
    Label->SetAutoSize(false);
    Label->SetAlignment(TLabel::taCenter);
    Label->Font()->SetColor(0x504840);
    Label->SetBounds(Left, Top, Width, 16);
    Label->SetCaption(Caption);
}

void TShowcaseF::CreateImages()
{
    Heading(LeftColumn, 16, u"TVeltraneImage"_s);
    auto* Backdrop = new TImage(this, u"Backdrop"_s);
    Backdrop->SetTransparent(false);
    Backdrop->Picture().SetBitmap(Stripes(ColumnWidth, 104));
    Backdrop->SetBounds(LeftColumn, 40, ColumnWidth, 104);

    const std::array<QString, 4> Notes{u"as loaded"_s, u"opacity 0.55"_s, u"disabled: grey"_s,
                                       u"disabled picture"_s};
    for (int I = 0; I < 4; ++I) {
        auto* Image = new TVeltraneImage(this, u"Image%1"_s.arg(I + 1));
        Image->AssignPicture(PictureOf(ButtonGlyph(QColor(0x5C, 0xA8, 0xE8), QColor(0x1E, 0x5C, 0xA8))));
        const int Left = LeftColumn + 14 + I * 96;
        Image->SetBounds(Left, 56, 72, 72);
        Note(Left - 12, 150, 96, Notes[size_t(I)]);
        Images[I] = Image;
    }
    // Composed over the very stripes behind it, at its place on them.
    QImage Behind = Backdrop->Picture().BitmapImage().convertToFormat(QImage::Format_RGB32);
    Images[1]->SetOpacity(0.55);
    Images[1]->BlendWithBackground(Behind, Images[1]->Left() - Backdrop->Left(),
                                   Images[1]->Top() - Backdrop->Top());
    Images[2]->SetEnabled(false);
    Images[3]->SetDisabledPicture(PictureOf(ButtonGlyph(QColor(0xF0, 0xB8, 0x9C), QColor(0xB4, 0x5A, 0x3C))));
    Images[3]->SetEnabled(false);
}

void TShowcaseF::CreateButtons()
{
    Heading(LeftColumn, 180, u"TVeltraneBtn"_s);
    const std::array<QString, 3> Captions{u"OK"_s, u"Flat"_s, u"Down"_s};
    for (int I = 0; I < 3; ++I) {
        auto* Button = new TVeltraneBtn(this, u"Button%1"_s.arg(I + 1));
        Button->SetCaption(Captions[size_t(I)]);
        Button->SetBounds(LeftColumn + I * 112, 204, 100, 26);
        Buttons[I] = Button;
    }
    Buttons[0]->SetModalResult(mrOk);
    Buttons[1]->SetFlat(true);
    Buttons[2]->SetGroupIndex(1);
    Buttons[2]->SetDown(true);
}

void TShowcaseF::CreateText()
{
    Heading(LeftColumn, 250, u"TVeltraneText"_s);
    Text = new TVeltraneText(this, u"Text"_s);
    Text->SetColor(0xF9FCFF);
    Text->Font()->SetColor(0x3C2814);
    Text->Font()->SetSize(9);
    Text->SetBounds(LeftColumn, 274, ColumnWidth, 150);
    QString Words = u"The text area wraps its words to its width and scrolls line by line, with the "
                    "scroll bar beside it or the mouse wheel. A carriage return ends a line.\r\n\r\n"_s;
    for (int I = 1; I <= 6; ++I)
        Words += u"Paragraph %1: pictures, tunes and small programs, each with a few words of its own "
                 "so that the reader knows what a click will do.\r\n"_s.arg(I);
    Text->SetCaption(Words);
}

void TShowcaseF::CreateLabeledImages()
{
    Heading(LeftColumn, 446, u"TLabeledImage"_s);
    struct TSample
    {
        QColor Color;
        TLabeledImage::TLabelPosition Position;
        QString Caption;
        QPoint At;
    };
    const std::array<TSample, 3> Samples{{
        {QColor(0x3C, 0x8C, 0xD0), TLabeledImage::lpBelow, u"label below"_s, {LeftColumn + 8, 480}},
        {QColor(0xE0, 0x8C, 0x2C), TLabeledImage::lpAbove, u"label above"_s, {LeftColumn + 128, 496}},
        {QColor(0x4C, 0xA8, 0x64), TLabeledImage::lpRight, u"label to the right"_s, {LeftColumn + 248, 480}},
    }};
    for (int I = 0; I < 3; ++I) {
        const TSample& S = Samples[size_t(I)];
        auto* Image = new TLabeledImage(this, u"Labeled%1"_s.arg(I + 1));
        Image->SetTransparent(false);
        Image->Picture().SetBitmap(Tile(S.Color, I));
        Image->SetLabelPosition(S.Position);
        Image->EditLabel()->SetCaption(S.Caption);
        Image->SetBounds(S.At.x(), S.At.y(), 48, 48);
        Labeled[I] = Image;
    }
}

void TShowcaseF::CreateTabs()
{
    Heading(RightColumn, 16, u"TCategoryChooser"_s);
    const QString Tab = FFiles.filePath(u"tab.bmp"_s);
    const QString FocusedTab = FFiles.filePath(u"tab_focused.bmp"_s);
    TabPicture(QColor(0xE4, 0xEC, 0xF6), QColor(0xB8, 0xCC, 0xE4)).save(Tab, "BMP");
    TabPicture(QColor(0xFF, 0xF6, 0xE4), QColor(0xF4, 0xD2, 0x96)).save(FocusedTab, "BMP");

    // Side by side with tab pictures, as above the main window's text area.
    SkinnedTabs = new TCategoryChooser(this, u"SkinnedTabs"_s);
    SkinnedTabs->SetViewStyle(cvsHorizontal);
    SkinnedTabs->SetTabWidth(110);
    SkinnedTabs->SetTabHeight(18);
    SkinnedTabs->SetTransparent(true);
    SkinnedTabs->SetLineColor(0x94522C);
    SkinnedTabs->SetTabImage(Tab);
    SkinnedTabs->SetFocusedTabImage(FocusedTab);
    SkinnedTabs->SetBounds(RightColumn, 40, 3 * 110 + 1, 19);
    for (const QString& Caption : {u"Description"_s, u"Screenshots"_s, u"Pictures"_s})
        SkinnedTabs->CatList()->Add()->SetCaption(Caption);
    SkinnedTabs->SetSelectedCat(1);
    Note(RightColumn, 62, 3 * 110 + 1, u"tab pictures, the second tab chosen"_s);

    // One under another in plain colours, with icons.
    auto* Icons = new TImageList(this, u"TabIcons"_s);
    Icons->Add(Icon(QColor(0xE8, 0x5C, 0x4C), 0));
    Icons->Add(Icon(QColor(0x4C, 0x9C, 0xE0), 1));
    Icons->Add(Icon(QColor(0xF0, 0xC0, 0x30), 2));
    PlainTabs = new TCategoryChooser(this, u"PlainTabs"_s);
    PlainTabs->SetViewStyle(cvsVertical);
    PlainTabs->SetTabHeight(24);
    PlainTabs->SetTransparent(false);
    PlainTabs->SetBackgroundColor(0xF4E8DC);
    PlainTabs->SetActiveColor(0xFFFFFF);
    PlainTabs->SetLineColor(0xA07850);
    PlainTabs->SetImages(Icons);
    PlainTabs->SetBounds(RightColumn, 80, 180, 3 * 24 + 1);
    const std::array<QString, 3> Captions{u"Programs"_s, u"Documents"_s, u"Favourites"_s};
    for (int I = 0; I < 3; ++I) {
        TCategory* Category = PlainTabs->CatList()->Add();
        Category->SetCaption(Captions[size_t(I)]);
        Category->SetImageIndex(I);
    }
    PlainTabs->SetSelectedCat(0);
    Note(RightColumn, 156, 180, u"plain colours with icons"_s);
}

void TShowcaseF::CreateGallery()
{
    Heading(RightColumn, 180, u"TThumbnails"_s);
    Gallery = new TThumbnails(this, u"Gallery"_s);
    Gallery->SetImageWidth(110);
    Gallery->SetImageHeight(80);
    Gallery->SetGoodQuality(true);
    Gallery->SetColor(0xFFFBF7);
    Gallery->ThumbnailFrame()->SetColor(0xE0C8B4);
    Gallery->ThumbnailFrame()->SetFocusedColor(0xB66931);
    Gallery->SetBounds(RightColumn, 204, ColumnWidth, 250);
    QStringList Files;
    const int Hues[] = {200, 20, 100, 280, 160, 50, 330, 240};
    for (int I = 0; I < 8; ++I) {
        // One upright picture among the wide ones shows the proportional fit.
        const bool Upright = I == 3;
        const QString File = FFiles.filePath(u"landscape%1.png"_s.arg(I + 1));
        Landscape(Upright ? 240 : 320, Upright ? 320 : 240, Hues[I]).save(File, "PNG");
        Files.append(File);
    }
    Gallery->Previews().Clear();
    Gallery->AddImages(Files);
    Gallery->Arrange();
    Note(RightColumn, 462, ColumnWidth, u"previews in frames; the fifth one lit, as under the mouse"_s);
}

void TShowcaseF::FormShow()
{
    // The mouse over the fifth preview lights its frame.
    const QRect Frame = Gallery->Previews()[4].FrameRect.translated(0, Gallery->ScrollOffset());
    QMouseEvent Move(QEvent::MouseMove, Frame.center(), Gallery->mapToGlobal(Frame.center()), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Gallery, &Move);
}
