#include "Colors.h"
#include "CursorSlots.h"
#include "VeltraneText.h"

#include <QFile>
#include <QFontMetrics>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

namespace {

constexpr qint32 clLime = 0x00FF00;
constexpr qint32 clBlue = 0xFF0000;

// Every character is ten pixels wide.
int TenPerChar(const QString& Text)
{
    return int(Text.size()) * 10;
}

// Count lines "L1", "L2" ... separated by carriage returns.
QString NumberedLines(int Count)
{
    QStringList Lines;
    for (int I = 1; I <= Count; ++I) {
        Lines.append(QStringLiteral("L%1").arg(I));
    }
    return Lines.join(u'\r');
}

// A parent with one text label of exactly Visible lines' height (and a little more).
struct TFixture
{
    TControl Parent;
    TVeltraneText* Text = nullptr;

    explicit TFixture(int Visible = 5)
    {
        Parent.SetBounds(0, 0, 400, 300);
        Text = new TVeltraneText(&Parent);
        Text->SetBounds(10, 20, 300, Text->LineHeight() * Visible + Text->LineHeight() / 2);
    }
};

void Wheel(QWidget* Target, int AngleY)
{
    QWheelEvent Event(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, AngleY), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(Target, &Event);
}

} // namespace

class TestVeltraneText : public QObject
{
    Q_OBJECT

private slots:
    void wrapText_data();
    void wrapText();
    void wrapMeasuresEachCharacterOnce();
    void wrapUsesLabelWidthAndFont();
    void scrollBarShownWhenTextDoesNotFit_data();
    void scrollBarShownWhenTextDoesNotFit();
    void scrollLines_data();
    void scrollLines();
    void scrollBarActionsScroll();
    void tinyLabelScrollsWithoutRunningOut();
    void wheel_data();
    void wheel();
    void wheelWhileScrollBarHiddenDoesNothing();
    void fontOrSizeChangeRewraps_data();
    void fontOrSizeChangeRewraps();
    void scrollBarFollowsLabel();
    void visibilityAndCursorReachScrollBar();
    void scrollBarStaysAboveSiblings();
    void clickFocusesVisibleScrollBar();
    void painting_data();
    void painting();
    void autoSizeFitsAllLines();
    void loadFromFile();
};

void TestVeltraneText::wrapText_data()
{
    QTest::addColumn<QString>("Text");
    QTest::addColumn<int>("MaxWidth");
    QTest::addColumn<QStringList>("Expected");
    QTest::newRow("empty") << QString() << 100 << QStringList{};
    QTest::newRow("two words fit") << QStringLiteral("ab cd") << 50 << QStringList{QStringLiteral("ab cd")};
    QTest::newRow("first word and blank fit")
        << QStringLiteral("ab cd") << 30 << QStringList{QStringLiteral("ab"), QStringLiteral("cd")};
    QTest::newRow("break at last blank") << QStringLiteral("one two three") << 70
                                         << QStringList{QStringLiteral("one two"), QStringLiteral("three")};
    QTest::newRow("break inside next word")
        << QStringLiteral("one two three") << 100
        << QStringList{QStringLiteral("one two"), QStringLiteral("three")};
    QTest::newRow("consecutive returns")
        << QStringLiteral("ab\r\r\rcd") << 100
        << QStringList{QStringLiteral("ab"), QString(), QString(), QStringLiteral("cd")};
    QTest::newRow("CR LF") << QStringLiteral("ab\r\ncd\r\n") << 100
                           << QStringList{QStringLiteral("ab"), QStringLiteral("cd")};
    QTest::newRow("leading return") << QStringLiteral("\rab") << 100
                                    << QStringList{QString(), QStringLiteral("ab")};
    QTest::newRow("line feeds alone run together")
        << QStringLiteral("ab\ncd") << 100 << QStringList{QStringLiteral("abcd")};
    QTest::newRow("second blank ends line")
        << QStringLiteral("ab  cd") << 30 << QStringList{QStringLiteral("ab "), QStringLiteral("cd")};
    QTest::newRow("long word is cut")
        << QStringLiteral("abcdefgh") << 30
        << QStringList{QStringLiteral("abc"), QStringLiteral("def"), QStringLiteral("gh")};
    QTest::newRow("long word after a blank") << QStringLiteral("x abcdefg") << 30
                                             << QStringList{QStringLiteral("x"), QStringLiteral("abc"),
                                                            QStringLiteral("def"), QStringLiteral("g")};
    QTest::newRow("narrower than a character")
        << QStringLiteral("ab c") << 5
        << QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
}

void TestVeltraneText::wrapText()
{
    QFETCH(QString, Text);
    QFETCH(int, MaxWidth);
    QFETCH(QStringList, Expected);
    QStringList Lines{QStringLiteral("stale")};
    WrapText(TenPerChar, Text, MaxWidth, Lines);
    QCOMPARE(Lines, Expected);
}

void TestVeltraneText::wrapMeasuresEachCharacterOnce()
{
    // Long paragraphs, a long word and a surrogate pair: each character's width is asked for once,
    // not again for every line it might end, so that a large text wraps in time linear in its length.
    const QString Text = QStringLiteral("lorem ipsum dolor sit amet, consectetur ").repeated(400) + u'\r' +
                         QStringLiteral("x").repeated(3000) + QStringLiteral("\r\n\U0001F600 end");
    qsizetype Measured = 0;
    QStringList Lines;
    WrapText(
        [&Measured](const QString& Piece) {
            Measured += Piece.size();
            return int(Piece.size()) * 10;
        },
        Text, 400, Lines);
    QCOMPARE(Measured, Text.size() - 3); // all but the carriage returns and the line feed
    QCOMPARE(Lines.size(), 400 + 75 + 1);
    QCOMPARE(Lines.first(), QStringLiteral("lorem ipsum dolor sit amet, consectetur"));
    QCOMPARE(Lines.last(), QStringLiteral("\U0001F600 end"));
}

void TestVeltraneText::wrapUsesLabelWidthAndFont()
{
    TFixture F;
    const QString Text = QStringLiteral("The quick brown fox jumps over the lazy dog. ").repeated(6);
    F.Text->SetCaption(Text);
    QStringList Expected;
    WrapText(F.Text->font(), Text, F.Text->Width() - F.Text->ScrollBar()->width() - 2,
             Expected);
    QVERIFY(Expected.size() > 1);
    QCOMPARE(F.Text->Lines(), Expected);
    QCOMPARE(F.Text->VisibleLines(), Expected);
    QCOMPARE(F.Text->Caption(), Text);
    QCOMPARE(F.Text->property("Caption").toString(), Text);
    QCOMPARE(F.Text->DisplayedCaption(), StringsText(Expected));
}

void TestVeltraneText::scrollBarShownWhenTextDoesNotFit_data()
{
    QTest::addColumn<int>("LineCount");
    QTest::addColumn<bool>("Shown");
    QTest::newRow("empty") << 0 << false;
    QTest::newRow("one line") << 1 << false;
    QTest::newRow("exactly fits") << 5 << false;
    QTest::newRow("one more") << 6 << true;
    QTest::newRow("many") << 40 << true;
}

void TestVeltraneText::scrollBarShownWhenTextDoesNotFit()
{
    QFETCH(int, LineCount);
    QFETCH(bool, Shown);
    TFixture F(5);
    QCOMPARE(F.Text->VisibleLineCount(), 5);
    F.Text->SetCaption(NumberedLines(LineCount));
    QCOMPARE(F.Text->Lines().size(), LineCount);
    QCOMPARE(F.Text->TopLine(), 0);
    QCOMPARE(!F.Text->ScrollBar()->isHidden(), Shown);
    if (Shown) {
        QCOMPARE(F.Text->ScrollBar()->minimum(), 0);
        QCOMPARE(F.Text->ScrollBar()->maximum(), LineCount - 5 + 2);
        QCOMPARE(F.Text->ScrollBar()->value(), 0);
    }
    if (LineCount == 0) {
        QVERIFY(F.Text->DisplayedCaption().isEmpty());
        QVERIFY(F.Text->VisibleLines().isEmpty());
    }
}

void TestVeltraneText::scrollLines_data()
{
    QTest::addColumn<QList<int>>("Deltas");
    QTest::addColumn<int>("ExpectedTop");
    // Eight lines, five visible: the last position leaves two empty places, top line 5.
    QTest::newRow("down one") << QList<int>{1} << 1;
    QTest::newRow("down three") << QList<int>{3} << 3;
    QTest::newRow("down to the end") << QList<int>{100} << 5;
    QTest::newRow("one at a time to the end") << QList<int>{1, 1, 1, 1, 1, 1, 1} << 5;
    QTest::newRow("down and up") << QList<int>{4, -2} << 2;
    QTest::newRow("up stops at first line") << QList<int>{2, -100} << 0;
    QTest::newRow("zero scrolls nothing") << QList<int>{2, 0} << 2;
    QTest::newRow("up from the top") << QList<int>{-1} << 0;
}

void TestVeltraneText::scrollLines()
{
    QFETCH(QList<int>, Deltas);
    QFETCH(int, ExpectedTop);
    TFixture F(5);
    F.Text->SetCaption(NumberedLines(8));
    for (int D : Deltas) {
        F.Text->ScrollLines(D);
    }
    QCOMPARE(F.Text->TopLine(), ExpectedTop);
    QCOMPARE(F.Text->VisibleLines(), F.Text->Lines().mid(ExpectedTop));
    QCOMPARE(F.Text->DisplayedCaption(), StringsText(F.Text->Lines().mid(ExpectedTop)));
    QCOMPARE(F.Text->Caption(), NumberedLines(8));
}

void TestVeltraneText::scrollBarActionsScroll()
{
    TFixture F(5);
    F.Text->SetCaption(NumberedLines(8));
    QScrollBar* Bar = F.Text->ScrollBar();
    Bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(F.Text->TopLine(), 1);
    QCOMPARE(Bar->value(), 1);
    Bar->setSliderPosition(4);
    QCOMPARE(F.Text->TopLine(), 4);
    Bar->triggerAction(QAbstractSlider::SliderToMaximum);
    QCOMPARE(Bar->value(), 5);
    QCOMPARE(F.Text->TopLine(), 5);
    Bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(F.Text->TopLine(), 4);
    Bar->triggerAction(QAbstractSlider::SliderToMinimum);
    QCOMPARE(F.Text->TopLine(), 0);
}

void TestVeltraneText::tinyLabelScrollsWithoutRunningOut()
{
    // Less than one line high: the scroll bar reaches beyond the last line.
    TFixture F(0);
    F.Text->SetCaption(NumberedLines(3));
    QCOMPARE(F.Text->VisibleLineCount(), 0);
    QCOMPARE(F.Text->ScrollBar()->maximum(), 5);
    F.Text->ScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    QCOMPARE(F.Text->TopLine(), 3);
    QVERIFY(F.Text->VisibleLines().isEmpty());
    F.Text->ScrollLines(-100);
    QCOMPARE(F.Text->TopLine(), 0);
    QCOMPARE(F.Text->VisibleLines(), F.Text->Lines());
}

void TestVeltraneText::wheel_data()
{
    QTest::addColumn<int>("Angle");
    QTest::addColumn<int>("ExpectedTop");
    // Starting from top line 2.
    QTest::newRow("towards the user") << -120 << 3;
    QTest::newRow("away from the user") << 120 << 1;
    QTest::newRow("small step down") << -15 << 3;
    QTest::newRow("zero counts as down") << 0 << 3;
}

void TestVeltraneText::wheel()
{
    QFETCH(int, Angle);
    QFETCH(int, ExpectedTop);
    TFixture F(5);
    F.Text->SetCaption(NumberedLines(8));
    F.Text->ScrollBar()->setValue(2);
    F.Text->ScrollLines(2);
    Wheel(F.Text, Angle);
    QCOMPARE(F.Text->TopLine(), ExpectedTop);
    QCOMPARE(F.Text->ScrollBar()->value(), ExpectedTop);
}

void TestVeltraneText::wheelWhileScrollBarHiddenDoesNothing()
{
    TFixture F(5);
    F.Text->SetCaption(NumberedLines(5));
    QVERIFY(F.Text->ScrollBar()->isHidden());
    Wheel(F.Text, -120);
    QCOMPARE(F.Text->TopLine(), 0);
    QCOMPARE(F.Text->VisibleLines().size(), 5);
}

void TestVeltraneText::fontOrSizeChangeRewraps_data()
{
    QTest::addColumn<QString>("Change");
    QTest::newRow("font size") << QStringLiteral("font");
    QTest::newRow("width") << QStringLiteral("width");
    QTest::newRow("height") << QStringLiteral("height");
    QTest::newRow("position") << QStringLiteral("position");
}

void TestVeltraneText::fontOrSizeChangeRewraps()
{
    QFETCH(QString, Change);
    TFixture F(3);
    const QString Text =
        QStringLiteral("Lorem ipsum dolor sit amet, consectetur adipiscing elit. ").repeated(8);
    F.Text->SetCaption(Text);
    const QStringList Before = F.Text->Lines();
    F.Text->ScrollLines(2);
    QCOMPARE(F.Text->TopLine(), 2);
    if (Change == QLatin1String("font")) {
        F.Text->Font()->SetSize(F.Text->Font()->Size() * 2);
    } else if (Change == QLatin1String("width")) {
        F.Text->SetWidth(200);
    } else if (Change == QLatin1String("height")) {
        F.Text->SetHeight(F.Text->Height() + 30);
    } else {
        F.Text->SetLeft(F.Text->Left() + 5);
    }
    QCOMPARE(F.Text->TopLine(), 0);
    QStringList Expected;
    WrapText(F.Text->font(), Text, F.Text->Width() - F.Text->ScrollBar()->width() - 2,
             Expected);
    QCOMPARE(F.Text->Lines(), Expected);
    QCOMPARE(F.Text->VisibleLines(), Expected);
    if (Change == QLatin1String("font") || Change == QLatin1String("width")) {
        QVERIFY(Expected.size() > Before.size());
    }
}

void TestVeltraneText::scrollBarFollowsLabel()
{
    TControl Parent;
    Parent.SetBounds(0, 0, 400, 300);
    TVeltraneText Text;
    QCOMPARE(Text.ScrollBar()->parentWidget(), nullptr);
    Text.SetCaption(NumberedLines(50));
    // Without a parent the scroll bar would be a window of its own: it stays hidden.
    QVERIFY(Text.ScrollBar()->isHidden());

    Text.setParent(&Parent);
    QCOMPARE(Text.ScrollBar()->parentWidget(), &Parent);
    Text.SetBounds(20, 30, 200, 100);
    const int W = Text.ScrollBar()->width();
    QVERIFY(W > 0);
    QCOMPARE(Text.ScrollBar()->geometry(), QRect(20 + 200 - W, 30, W, 100));
    QVERIFY(!Text.ScrollBar()->isHidden());
    Text.SetLeft(25);
    QCOMPARE(Text.ScrollBar()->geometry(), QRect(25 + 200 - W, 30, W, 100));
    // Moved or sized directly, a label on screen takes the scroll bar along too.
    Parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&Parent));
    Text.move(15, 35);
    QCOMPARE(Text.ScrollBar()->geometry(), QRect(15 + 200 - W, 35, W, 100));
    Text.resize(180, 90);
    QCOMPARE(Text.ScrollBar()->geometry(), QRect(15 + 180 - W, 35, W, 90));

    // A label going away takes its scroll bar with it.
    QPointer<QScrollBar> Bar = Text.ScrollBar();
    {
        auto* Other = new TVeltraneText(&Parent);
        Bar = Other->ScrollBar();
        QCOMPARE(Bar->parentWidget(), &Parent);
        delete Other;
    }
    QVERIFY(Bar.isNull());
    Text.setParent(nullptr);
}

void TestVeltraneText::visibilityAndCursorReachScrollBar()
{
    TFixture F(5);
    F.Text->SetCaption(NumberedLines(10));
    QVERIFY(!F.Text->ScrollBar()->isHidden());
    F.Text->SetVisible(false);
    QVERIFY(F.Text->ScrollBar()->isHidden());
    F.Text->SetVisible(true);
    QVERIFY(!F.Text->ScrollBar()->isHidden());

    F.Text->SetCursor(crHandPoint);
    QCOMPARE(F.Text->Cursor(), int(crHandPoint));
    QCOMPARE(F.Text->ScrollBar()->cursor().shape(), F.Text->cursor().shape());
    QVERIFY(F.Text->setProperty("Cursor", int(crIBeam)));
    QCOMPARE(F.Text->ScrollBar()->cursor().shape(), F.Text->cursor().shape());
    QCOMPARE(F.Text->cursor().shape(), CursorFor(crIBeam).shape());
}

void TestVeltraneText::scrollBarStaysAboveSiblings()
{
    // The controls the parent lays over the text, made before or after it, never cover the scroll bar,
    // however the label is restacked.
    TFixture F(5);
    const auto Order = [&] {
        QList<QObject*> Widgets;
        for (QObject* Child : F.Parent.children()) {
            if (Child->isWidgetType()) {
                Widgets.append(Child);
            }
        }
        return Widgets;
    };
    QObject* Bar = F.Text->ScrollBar();
    QCOMPARE(Order(), (QList<QObject*>{F.Text, Bar}));
    auto* Cover = new TControl(&F.Parent);
    QCOMPARE(Order(), (QList<QObject*>{F.Text, Cover, Bar}));
    F.Text->BringToFront();
    QCOMPARE(Order(), (QList<QObject*>{Cover, F.Text, Bar}));
    F.Text->SendToBack();
    QCOMPARE(Order(), (QList<QObject*>{F.Text, Cover, Bar}));
    auto* Later = new TControl(&F.Parent);
    QCOMPARE(Order(), (QList<QObject*>{F.Text, Cover, Later, Bar}));

    // Moved to another parent, the label watches that one.
    TControl Other;
    F.Text->setParent(&Other);
    auto* OtherCover = new TControl(&Other);
    QCOMPARE(Other.children().last(), Bar);
    QVERIFY(OtherCover != nullptr);
    auto* OldParentChild = new TControl(&F.Parent);
    QCOMPARE(F.Parent.children().last(), OldParentChild);
    F.Text->setParent(&F.Parent);
}

void TestVeltraneText::clickFocusesVisibleScrollBar()
{
    TFixture F(5);
    F.Parent.show();
    F.Parent.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&F.Parent));
    int Downs = 0;
    F.Text->OnMouseDown = [&](QObject*, TControl::TMouseButton, TControl::TShiftState, int, int) { ++Downs; };

    F.Text->SetCaption(NumberedLines(3));
    QTest::mouseClick(F.Text, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(!F.Text->ScrollBar()->hasFocus());
    QCOMPARE(Downs, 1);

    F.Text->SetCaption(NumberedLines(30));
    QTest::mouseClick(F.Text, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(F.Text->ScrollBar()->hasFocus());
    QCOMPARE(Downs, 2);
}

void TestVeltraneText::painting_data()
{
    QTest::addColumn<bool>("Transparent");
    QTest::addColumn<QString>("Text");
    QTest::addColumn<bool>("ExpectLabelColour");
    QTest::newRow("opaque, empty") << false << QString() << true;
    QTest::newRow("transparent, empty") << true << QString() << false;
    QTest::newRow("opaque, one line") << false << QStringLiteral("word") << true;
    QTest::newRow("transparent, one line") << true << QStringLiteral("word") << false;
}

void TestVeltraneText::painting()
{
    QFETCH(bool, Transparent);
    QFETCH(QString, Text);
    QFETCH(bool, ExpectLabelColour);
    TFixture F(5);
    F.Parent.SetColor(clLime);
    QVERIFY(!F.Text->Transparent());
    F.Text->SetColor(clBlue);
    F.Text->SetTransparent(Transparent);
    F.Text->SetCaption(Text);
    QImage Shot(400, 300, QImage::Format_RGB32);
    Shot.fill(Qt::black);
    F.Parent.render(&Shot);
    const QRgb Expected = ColorToRGB(ExpectLabelColour ? clBlue : clLime).rgb();
    // Below the first line and beside it: never a text pixel.
    const int LH = F.Text->LineHeight();
    QCOMPARE(Shot.pixel(F.Text->Left() + 1, F.Text->Top() + LH + 2), Expected);
    QCOMPARE(Shot.pixel(F.Text->BoundsRight() - 2, F.Text->BoundsBottom() - 2), Expected);
    QCOMPARE(Shot.pixel(F.Text->BoundsRight() - 2, F.Text->Top() + 1), Expected);
    // Outside the label the parent shows.
    QCOMPARE(Shot.pixel(F.Text->Left() - 1, F.Text->Top()), ColorToRGB(clLime).rgb());
    QCOMPARE(Shot.pixel(F.Text->BoundsRight(), F.Text->Top()), ColorToRGB(clLime).rgb());
}

void TestVeltraneText::autoSizeFitsAllLines()
{
    TFixture F(3);
    QVERIFY(!F.Text->AutoSize());
    QVERIFY(F.Text->WordWrap());
    F.Text->SetCaption(NumberedLines(7));
    QVERIFY(!F.Text->ScrollBar()->isHidden());
    QVERIFY(F.Text->setProperty("AutoSize", true));
    QCOMPARE(F.Text->Height(), 7 * F.Text->LineHeight());
    QCOMPARE(F.Text->Width(), 300);
    QCOMPARE(F.Text->Lines().size(), 7);
    QVERIFY(F.Text->ScrollBar()->isHidden());
}

void TestVeltraneText::loadFromFile()
{
    QTemporaryDir Dir;
    QVERIFY(Dir.isValid());
    const QString Name = Dir.filePath(QStringLiteral("text.txt"));
    QFile File(Name);
    QVERIFY(File.open(QIODevice::WriteOnly));
    // Windows-1251 "Да", CR LF, an empty line, LF alone, CR alone, an "&" kept as it is.
    File.write("\xC4\xE0\r\n\r\nb\nc & d\re");
    File.close();

    TFixture F(5);
    QVERIFY(F.Text->LoadFromFile(Name));
    QCOMPARE(F.Text->Caption(), QStringLiteral(u"Да\r\n\r\nb\r\nc & d\r\ne\r\n"));
    QCOMPARE(F.Text->Lines(), (QStringList{QStringLiteral(u"Да"), QString(), QStringLiteral("b"),
                                           QStringLiteral("c & d"), QStringLiteral("e")}));

    QVERIFY(!F.Text->LoadFromFile(Dir.filePath(QStringLiteral("missing.txt"))));
    QCOMPARE(F.Text->Lines().size(), 5);

    // A text item in UTF-8 without a byte-order mark is read as UTF-8, not as ANSI.
    QVERIFY(File.open(QIODevice::WriteOnly | QIODevice::Truncate));
    File.write("\xD0\x94\xD0\xB0");
    File.close();
    QVERIFY(F.Text->LoadFromFile(Name));
    QCOMPARE(F.Text->Lines(), QStringList{QStringLiteral(u"Да")});
}

QTEST_MAIN(TestVeltraneText)
#include "tst_veltranetext.moc"
