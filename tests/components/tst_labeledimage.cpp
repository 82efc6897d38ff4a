#include "Control.h"
#include "LabeledImage.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestLabeledImage : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void placement_data();
    void placement();
    void labelFollowsBoundsAndSpacing();
    void labelFollowsParentVisibilityAndEnabled();
    void destroyedLabelIsForgotten();
    void imageTakesItsLabelAlong();
};

void TestLabeledImage::defaults()
{
    TControl Window;
    TLabeledImage Image(&Window, u"AuthorImg"_s);
    QCOMPARE(Image.Width(), 16);
    QCOMPARE(Image.Height(), 16);
    QVERIFY(Image.Center());
    QCOMPARE(Image.property("LabelPosition").value<TLabeledImage::TLabelPosition>(), TLabeledImage::lpBelow);
    QCOMPARE(Image.property("LabelSpacing").toInt(), 3);
    TBoundLabelEx* Label = Image.EditLabel();
    QVERIFY(Label);
    QCOMPARE(Label->parentWidget(), &Window);
    QVERIFY(Label->AutoSize());
    QCOMPARE(Label->Alignment(), TLabel::taLeftJustify);
    QVERIFY(!Label->WordWrap());
    QCOMPARE(Label->Caption(), u"AuthorImg"_s);
    // Enumeration values by the names the control properties file uses.
    QVERIFY(Image.setProperty("LabelPosition", u"lpAbove"_s));
    QCOMPARE(Image.LabelPosition(), TLabeledImage::lpAbove);
}

void TestLabeledImage::placement_data()
{
    QTest::addColumn<int>("Position");
    QTest::addColumn<QPoint>("Expected");
    // An image at (100, 50) of 24 x 24, a label of 60 x 13, spacing 3.
    QTest::newRow("above") << int(TLabeledImage::lpAbove) << QPoint(100, 50 - 13 - 3);
    QTest::newRow("below") << int(TLabeledImage::lpBelow) << QPoint(100, 50 + 24 + 3);
    QTest::newRow("right") << int(TLabeledImage::lpRight) << QPoint(100 + 24 + 3, 50 + (24 - 13) / 2);
    QTest::newRow("left is right too") << int(TLabeledImage::lpLeft) << QPoint(100 + 24 + 3, 50 + 5);
}

void TestLabeledImage::placement()
{
    QFETCH(int, Position);
    QFETCH(QPoint, Expected);
    const auto Pos = TLabeledImage::TLabelPosition(Position);
    QCOMPARE(LabelPlacement(QRect(100, 50, 24, 24), QSize(60, 13), Pos, 3), Expected);

    TControl Window;
    TLabeledImage Image(&Window);
    Image.EditLabel()->SetAutoSize(false);
    Image.EditLabel()->SetBounds(0, 0, 60, 13);
    Image.SetBounds(100, 50, 24, 24);
    Image.SetLabelPosition(Pos);
    QCOMPARE(Image.EditLabel()->geometry(), QRect(Expected, QSize(60, 13)));
}

void TestLabeledImage::labelFollowsBoundsAndSpacing()
{
    TControl Window;
    TLabeledImage Image(&Window);
    Image.EditLabel()->SetAutoSize(false);
    Image.EditLabel()->SetBounds(0, 0, 40, 10);
    Image.SetLabelPosition(TLabeledImage::lpRight);
    Image.SetBounds(10, 20, 24, 30);
    QCOMPARE(Image.EditLabel()->geometry(), QRect(37, 30, 40, 10));
    Image.SetLabelSpacing(8);
    QCOMPARE(Image.EditLabel()->geometry(), QRect(42, 30, 40, 10));
    Image.SetLeft(0);
    QCOMPARE(Image.EditLabel()->Left(), 32);
    // An odd difference: div truncates, (5 - 10) div 2 = -2.
    Image.SetHeight(5);
    QCOMPARE(Image.EditLabel()->Top(), 18);
}

void TestLabeledImage::labelFollowsParentVisibilityAndEnabled()
{
    TLabeledImage Image;
    QVERIFY(Image.EditLabel()->isHidden()); // no parent yet: never a window of its own
    TControl Window;
    Image.setParent(&Window);
    QCOMPARE(Image.EditLabel()->parentWidget(), &Window);
    QVERIFY(!Image.EditLabel()->isHidden());
    Image.SetVisible(false);
    QVERIFY(Image.EditLabel()->isHidden());
    Image.SetVisible(true);
    QVERIFY(!Image.EditLabel()->isHidden());
    Image.SetEnabled(false);
    QVERIFY(!Image.EditLabel()->Enabled());
    Image.SetEnabled(true);
    QVERIFY(Image.EditLabel()->Enabled());
    Image.setLayoutDirection(Qt::RightToLeft);
    QCOMPARE(Image.EditLabel()->layoutDirection(), Qt::RightToLeft);
    Image.setParent(nullptr);
}

void TestLabeledImage::destroyedLabelIsForgotten()
{
    TControl Window;
    TLabeledImage Image(&Window);
    delete Image.EditLabel();
    QCOMPARE(Image.EditLabel(), nullptr);
    // Placing without a label does nothing, not even storing the position.
    Image.SetLabelPosition(TLabeledImage::lpAbove);
    QCOMPARE(Image.LabelPosition(), TLabeledImage::lpBelow);
    Image.SetBounds(1, 2, 3, 4);
    Image.SetEnabled(false);
    Image.SetVisible(false);
}

void TestLabeledImage::imageTakesItsLabelAlong()
{
    TControl Window;
    auto* Image = new TLabeledImage(&Window);
    QPointer<TBoundLabelEx> Label = Image->EditLabel();
    delete Image;
    QVERIFY(Label.isNull());
}

QTEST_MAIN(TestLabeledImage)
#include "tst_labeledimage.moc"
