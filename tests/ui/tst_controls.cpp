#include "Colors.h"
#include "Control.h"
#include "Form.h"
#include "Image.h"
#include "Label.h"
#include "config/ControlsProps.h"

#include <QPainter>
#include <QTimer>
#include <QtTest>

class TestControls : public QObject
{
    Q_OBJECT

private slots:
    void controlsFileSetsPublishedProperties();
    void alignLaysOutChildren();
    void anchorsFollowParentResize();
    void parentFontAndColorFollowParent();
    void zeroFontSizeMeansDefault_data();
    void zeroFontSizeMeansDefault();
    void transparentBitmapShowsParentUnderKeyColour();
    void showModalEndsWithModalResult();
    void keyPreviewSeesEachKeyOnce();
    void colorValues_data();
    void colorValues();
};

void TestControls::controlsFileSetsPublishedProperties()
{
    TForm Form(nullptr, QStringLiteral("MainF"));
    auto* Label = new TLabel(&Form, QStringLiteral("TitleLabel"));
    TControlsPropsContainer Container;
    Container.LoadFromBytes("[titlelabel]\nCaption=Welcome\nFont.Style=fsBold,fsItalic\nFont.Color=#FF0000\n"
                            "Anchors=akLeft,akRight\nAlignment=taCenter\nLeft=12\nVisible=0\n"
                            "[MainF]\nColor=clBlack\nClientWidth=300\n");
    const QStringList Failures = Container.ApplyToControl(&Form, true);
    QVERIFY2(Failures.isEmpty(), qPrintable(Failures.join(u'\n')));
    QCOMPARE(Label->Caption(), QStringLiteral("Welcome"));
    QCOMPARE(Label->Font()->Style(), TFont::TFontStyles(TFont::fsBold | TFont::fsItalic));
    QVERIFY(Label->font().bold() && Label->font().italic());
    QCOMPARE(Label->Font()->Color(), 0x0000FF);
    QCOMPARE(Label->Anchors(), TControl::TAnchors(TControl::akLeft | TControl::akRight));
    QCOMPARE(Label->Alignment(), TLabel::taCenter);
    QCOMPARE(Label->Left(), 12);
    QVERIFY(!Label->Visible());
    QCOMPARE(Form.Color(), clBlack);
    QCOMPARE(Form.ClientWidth(), 300);
}

void TestControls::alignLaysOutChildren()
{
    TControl Parent;
    Parent.SetBounds(0, 0, 200, 100);
    TControl Top(&Parent);
    TControl Left(&Parent);
    TControl Client(&Parent);
    Top.SetHeight(10);
    Left.SetWidth(30);
    Client.SetAlign(TControl::alClient);
    Left.SetAlign(TControl::alLeft);
    Top.SetAlign(TControl::alTop);
    QCOMPARE(Top.geometry(), QRect(0, 0, 200, 10));
    QCOMPARE(Left.geometry(), QRect(0, 10, 30, 90));
    QCOMPARE(Client.geometry(), QRect(30, 10, 170, 90));
    Parent.SetBounds(0, 0, 300, 50);
    QCOMPARE(Client.geometry(), QRect(30, 10, 270, 40));
}

void TestControls::anchorsFollowParentResize()
{
    TControl Parent;
    Parent.SetBounds(0, 0, 200, 100);
    TControl Fixed(&Parent);
    TControl RightBottom(&Parent);
    TControl Stretched(&Parent);
    Fixed.SetBounds(10, 10, 20, 20);
    RightBottom.SetBounds(150, 60, 20, 20);
    RightBottom.SetAnchors(TControl::akRight | TControl::akBottom);
    Stretched.SetBounds(10, 40, 100, 10);
    Stretched.SetAnchors(TControl::akLeft | TControl::akRight | TControl::akTop);
    Parent.SetBounds(0, 0, 250, 130);
    QCOMPARE(Fixed.geometry(), QRect(10, 10, 20, 20));
    QCOMPARE(RightBottom.geometry(), QRect(200, 90, 20, 20));
    QCOMPARE(Stretched.geometry(), QRect(10, 40, 150, 10));
}

void TestControls::parentFontAndColorFollowParent()
{
    TControl Parent;
    Parent.SetColor(0x123456);
    TLabel Child(&Parent);
    TLabel Own(&Parent);
    Own.Font()->SetName(QStringLiteral("Courier New"));
    Parent.Font()->SetSize(14);
    QCOMPARE(Child.Font()->Size(), 14);
    QCOMPARE(Child.Font()->Height(), -19);
    QVERIFY(Child.ParentFont());
    QVERIFY(!Own.ParentFont());
    QCOMPARE(Own.Font()->Size(), 8);
    QCOMPARE(Child.Color(), 0x123456); // a label takes its parent's colour until given one
    Child.SetColor(clWhite);
    QCOMPARE(Child.Color(), clWhite);
    QVERIFY(!Child.ParentColor());
}

void TestControls::zeroFontSizeMeansDefault_data()
{
    QTest::addColumn<QByteArray>("Line");
    QTest::newRow("Font.Size=0") << QByteArray("Font.Size=0\n");
    QTest::newRow("Font.Height=0") << QByteArray("Font.Height=0\n");
}

void TestControls::zeroFontSizeMeansDefault()
{
    QFETCH(QByteArray, Line);
    TForm Form(nullptr, QStringLiteral("MainF"));
    auto* Label = new TLabel(&Form, QStringLiteral("TitleLabel"));
    TLabel Default;
    TControlsPropsContainer Container;
    Container.LoadFromBytes(QByteArray(QByteArray("[titlelabel]\n") + Line));
    const QStringList Failures = Container.ApplyToControl(&Form, true);
    QVERIFY2(Failures.isEmpty(), qPrintable(Failures.join(u'\n')));
    // 0 stands for the default size, not for text one pixel high.
    QCOMPARE(Label->Font()->ToQFont().pixelSize(), Default.Font()->ToQFont().pixelSize());
    QVERIFY(Label->Font()->ToQFont().pixelSize() > 1);
}

void TestControls::transparentBitmapShowsParentUnderKeyColour()
{
    TControl Parent;
    Parent.SetBounds(0, 0, 8, 8);
    Parent.SetColor(0x00FF00); // green
    TImage Image(&Parent);
    QImage Bitmap(4, 4, QImage::Format_RGB32);
    Bitmap.fill(qRgb(255, 0, 255)); // the bottom-left pixel's colour is the transparent one
    Bitmap.setPixel(1, 1, qRgb(0, 0, 255));
    Image.Picture().SetBitmap(Bitmap);
    Image.SetAutoSize(true);
    QCOMPARE(Image.size(), QSize(4, 4));
    QImage Shot(8, 8, QImage::Format_RGB32);
    Parent.render(&Shot);
    QCOMPARE(Shot.pixel(1, 1), qRgb(0, 0, 255));
    QCOMPARE(Shot.pixel(0, 0), qRgb(0, 255, 0));
    Image.SetTransparent(false);
    Parent.render(&Shot);
    QCOMPARE(Shot.pixel(0, 0), qRgb(255, 0, 255));
}

void TestControls::showModalEndsWithModalResult()
{
    TForm Form;
    QTimer::singleShot(0, &Form, [&Form] { Form.SetModalResult(mrOk); });
    QCOMPARE(Form.ShowModal(), mrOk);
    QVERIFY(!Form.isVisible());
    QTimer::singleShot(0, &Form, [&Form] { Form.Close(); });
    QCOMPARE(Form.ShowModal(), mrCancel);
}

void TestControls::keyPreviewSeesEachKeyOnce()
{
    TForm Form;
    Form.SetBounds(0, 0, 100, 100);
    auto* Child = new TControl(&Form);
    Child->setFocusPolicy(Qt::StrongFocus);
    int FormKeys = 0;
    int ChildKeys = 0;
    Form.OnKeyDown = [&FormKeys](QObject*, quint16&, TControl::TShiftState) { ++FormKeys; };
    Child->OnKeyDown = [&ChildKeys](QObject*, quint16&, TControl::TShiftState) { ++ChildKeys; };
    Form.SetKeyPreview(true);
    Form.show();
    QApplication::setActiveWindow(&Form);
    Child->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&Form));
    // The child leaves the key unhandled, so it travels up to the form after the preview.
    QTest::keyClick(Child, Qt::Key_Down);
    QCOMPARE(FormKeys, 1);
    QCOMPARE(ChildKeys, 1);
    // A preview that swallows the key (Key := 0) keeps it from the child.
    Form.OnKeyDown = [&FormKeys](QObject*, quint16& Key, TControl::TShiftState) {
        ++FormKeys;
        Key = 0;
    };
    QTest::keyClick(Child, Qt::Key_Down);
    QCOMPARE(FormKeys, 2);
    QCOMPARE(ChildKeys, 1);
}

void TestControls::colorValues_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("blue, green, red") << 0x0080FF << QColor(255, 128, 0);
    QTest::newRow("window") << clWindow << QColor(255, 255, 255);
    QTest::newRow("button face") << clBtnFace << QColor(240, 240, 240);
    QTest::newRow("none is see-through") << clNone << QColor(0, 0, 0, 0);
}

void TestControls::colorValues()
{
    QFETCH(int, value);
    QFETCH(QColor, expected);
    QCOMPARE(ColorToRGB(value), expected);
}

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
