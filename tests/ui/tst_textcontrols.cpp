#include "ComboBox.h"
#include "Edit.h"
#include "Form.h"
#include "Keys.h"
#include "ListBox.h"
#include "Memo.h"
#include "RichEdit.h"
#include "RichText.h"
#include "ScrollBar.h"
#include "config/ControlsProps.h"

#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QtTest>

// Text fields, memos and the rich-text view, and "controls.ini" reaching the Qt widgets inside.
class TestTextControls : public QObject
{
    Q_OBJECT

private slots:
    void controlsFileReachesInnerWidgets();
    void editTextAndKeys();
    void memoLinesFollowTheText();
    void linesLoadFiles_data();
    void linesLoadFiles();
    void richTextKeepsFormatting();
    void richTextSurvivesDamage_data();
    void richTextSurvivesDamage();
    void richEditLoadsPlainOrRich();
    void selStartShowsTheTop();

private:
    QTemporaryDir FDir;
    QString WriteFile(const QString& Name, const QByteArray& Bytes);
};

QString TestTextControls::WriteFile(const QString& Name, const QByteArray& Bytes)
{
    const QString Path = FDir.filePath(Name);
    QFile File(Path);
    if (!File.open(QIODevice::WriteOnly) || File.write(Bytes) != Bytes.size()) {
        return {};
    }
    return Path;
}

namespace {

// A rich-text document with a Cyrillic font and a Western one, a colour table, a picture and a
// destination of its own that a viewer skips.
const QByteArray SampleRtf = "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial;}"
                             "{\\f1\\froman\\fcharset0 Times New Roman;}}\r\n"
                             "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
                             "{\\*\\generator Writer 5.1;}\\pard\\qc\\b Title\\b0\\par\r\n"
                             "\\pard Plain \\cf1 red\\cf0  \\i italic\\i0\\par\r\n"
                             "\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2 \\f1\\'e9\\f0  \\u8364?\\par\r\n"
                             "{\\pict\\wmetafile8 0102ff}after\\tab end}";

QTextCharFormat FormatOf(const QTextDocument& Document, const QString& Text)
{
    for (QTextBlock Block = Document.begin(); Block.isValid(); Block = Block.next()) {
        for (auto It = Block.begin(); !It.atEnd(); ++It) {
            if (It.fragment().text().contains(Text)) {
                return It.fragment().charFormat();
            }
        }
    }
    return {};
}

} // namespace

void TestTextControls::controlsFileReachesInnerWidgets()
{
    TForm Form(nullptr, QStringLiteral("BrowseF"));
    auto* DirEdit = new TEdit(&Form, QStringLiteral("DirEdit"));
    auto* AboutText = new TMemo(&Form, QStringLiteral("AboutText"));
    auto* ActionList = new TListBox(&Form, QStringLiteral("ActionList"));
    auto* DriveList = new TComboBox(&Form, QStringLiteral("DriveList"));
    auto* Bar = new TScrollBar(&Form, QStringLiteral("Bar"));
    TControlsPropsContainer Container;
    Container.LoadFromBytes("[DirEdit]\nColor=clYellow\nFont.Color=#0000FF\nFont.Style=fsBold\nReadOnly=1\n"
                            "MaxLength=5\nPasswordChar=*\nTabStop=0\n"
                            "[AboutText]\nScrollBars=ssVertical\nWordWrap=0\n"
                            "[ActionList]\nStyle=lbOwnerDrawVariable\nItemHeight=40\nBorderStyle=bsNone\n"
                            "[DriveList]\nStyle=csOwnerDrawFixed\nItemHeight=18\nColor=clAqua\n"
                            "[Bar]\nKind=sbVertical\nMax=50\nPosition=7\n");
    const QStringList Failures = Container.ApplyToControl(&Form, true);
    QVERIFY2(Failures.isEmpty(), qPrintable(Failures.join(u'\n')));

    QLineEdit* Line = DirEdit->LineEdit();
    QCOMPARE(Line->palette().color(QPalette::Base), QColor(255, 255, 0));
    QCOMPARE(Line->palette().color(QPalette::Text), QColor(0, 0, 255));
    QVERIFY(Line->font().bold());
    QVERIFY(Line->isReadOnly());
    QCOMPARE(Line->maxLength(), 5);
    QCOMPARE(DirEdit->PasswordChar(), QChar(u'*'));
    QCOMPARE(Line->echoMode(), QLineEdit::Password);
    QCOMPARE(Line->focusPolicy(), Qt::ClickFocus);
    QImage Shot(DirEdit->size(), QImage::Format_RGB32);
    DirEdit->render(&Shot);
    QCOMPARE(Shot.pixel(DirEdit->Width() - 6, DirEdit->Height() / 2), qRgb(255, 255, 0));

    QCOMPARE(AboutText->TextEdit()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(AboutText->TextEdit()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(AboutText->TextEdit()->lineWrapMode(), QTextEdit::NoWrap);
    QCOMPARE(ActionList->Style(), TListBox::lbOwnerDrawVariable);
    QCOMPARE(ActionList->ItemHeight(), 40);
    QCOMPARE(ActionList->ClientWidth(), ActionList->Width());
    QVERIFY(DriveList->OwnerDrawn());
    QCOMPARE(DriveList->ComboWidget()->palette().color(QPalette::Base), QColor(0, 255, 255));
    QCOMPARE(Bar->ScrollBarWidget()->orientation(), Qt::Vertical);
    QCOMPARE(Bar->ScrollBarWidget()->value(), 7);
    QVERIFY(Bar->Height() > Bar->Width());
}

void TestTextControls::editTextAndKeys()
{
    TEdit Edit;
    int Changes = 0;
    Edit.OnChange = [&](QObject*) { ++Changes; };
    QList<quint16> Keys;
    Edit.OnKeyDown = [&](QObject*, quint16& Key, TControl::TShiftState) {
        Keys.append(Key);
        if (Key == VK_RETURN) {
            Key = 0;
        }
    };
    int Returns = 0;
    connect(Edit.LineEdit(), &QLineEdit::returnPressed, this, [&] { ++Returns; });
    Edit.SetText(QStringLiteral("C:\\Games"));
    Edit.SetText(QStringLiteral("C:\\Games"));
    QCOMPARE(Changes, 1);
    Edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&Edit));
    Edit.SetText({});
    Edit.SetMaxLength(3);
    QTest::keyClicks(Edit.LineEdit(), QStringLiteral("abcd"));
    QCOMPARE(Edit.Text(), QStringLiteral("abc"));
    QCOMPARE(Keys.first(), quint16('A'));
    QTest::keyClick(Edit.LineEdit(), Qt::Key_Return);
    QCOMPARE(Keys.last(), VK_RETURN);
    QCOMPARE(Returns, 0); // the handler took the key
    Edit.SetReadOnly(true);
    QTest::keyClick(Edit.LineEdit(), Qt::Key_Backspace);
    QCOMPARE(Edit.Text(), QStringLiteral("abc"));
    Edit.SetMaxLength(0);
    Edit.SetText(QString(40000, u'x'));
    QCOMPARE(Edit.Text().size(), 40000);
}

void TestTextControls::memoLinesFollowTheText()
{
    TMemo Memo;
    int Changes = 0;
    Memo.OnChange = [&](QObject*) { ++Changes; };
    Memo.Lines().Add(QStringLiteral("one"));
    Memo.Lines().Add(QStringLiteral("two"));
    QCOMPARE(Memo.TextEdit()->toPlainText(), QStringLiteral("one\ntwo"));
    QCOMPARE(Memo.Text(), QStringLiteral("one\r\ntwo"));
    QCOMPARE(Changes, 2);
    Memo.show();
    QVERIFY(QTest::qWaitForWindowExposed(&Memo));
    Memo.SetSelStart(7);
    QTest::keyClicks(Memo.TextEdit(), QStringLiteral("!"));
    QTest::keyClick(Memo.TextEdit(), Qt::Key_Return);
    QTest::keyClicks(Memo.TextEdit(), QStringLiteral("three"));
    QCOMPARE(Memo.Lines().ToStringList(),
             QStringList({QStringLiteral("one"), QStringLiteral("two!"), QStringLiteral("three")}));
    Memo.SetText(QStringLiteral("a\r\nb\rc\n"));
    QCOMPARE(Memo.Lines().Count(), 3);
    QCOMPARE(Memo.Lines().Text(), QStringLiteral("a\r\nb\r\nc\r\n"));
}

void TestTextControls::linesLoadFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("Windows-1251") << QByteArray("\xcf\xf0\xe8\xe2\xe5\xf2\r\nline 2\r\n")
                                  << QStringList({QStringLiteral("Привет"), QStringLiteral("line 2")});
    QTest::newRow("UTF-8 with its mark") << QByteArray("\xef\xbb\xbf\xd0\x9f\xd1\x80\xd0\xb8\nx")
                                         << QStringList({QStringLiteral("При"), QStringLiteral("x")});
    QTest::newRow("UTF-16LE with its mark") << QByteArray("\xff\xfe"
                                                          "a\0\r\0\n\0b\0",
                                                          10)
                                            << QStringList({QStringLiteral("a"), QStringLiteral("b")});
    QTest::newRow("empty") << QByteArray() << QStringList();
    QTest::newRow("blank lines kept") << QByteArray("\n\n") << QStringList({QString(), QString()});
}

void TestTextControls::linesLoadFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    const QString Path = WriteFile(QStringLiteral("history.txt"), bytes);
    QVERIFY(!Path.isEmpty());
    TMemo Memo;
    QString Error;
    QVERIFY2(Memo.Lines().LoadFromFile(Path, &Error), qPrintable(Error));
    QCOMPARE(Memo.Lines().ToStringList(), lines);
    QCOMPARE(Memo.TextEdit()->toPlainText(), lines.join(u'\n'));

    QVERIFY(!Memo.Lines().LoadFromFile(FDir.filePath(QStringLiteral("missing.txt")), &Error));
    QVERIFY(!Error.isEmpty());
    QCOMPARE(Memo.Lines().ToStringList(), lines); // a failed load changes nothing
}

void TestTextControls::richTextKeepsFormatting()
{
    QTextDocument Document;
    ReadRichText(SampleRtf, Document);
    QCOMPARE(Document.toPlainText(), QStringLiteral("Title\nPlain red italic\nПривет é €\nafter\tend"));
    QCOMPARE(Document.begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(Document.begin().next().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    QCOMPARE(FormatOf(Document, QStringLiteral("Title")).fontWeight(), int(QFont::Bold));
    QVERIFY(FormatOf(Document, QStringLiteral("Plain")).fontWeight() != int(QFont::Bold));
    QCOMPARE(FormatOf(Document, QStringLiteral("red")).foreground().color(), QColor(255, 0, 0));
    QVERIFY(FormatOf(Document, QStringLiteral("italic")).fontItalic());
    QVERIFY(!FormatOf(Document, QStringLiteral("Plain")).fontItalic());
}

void TestTextControls::richTextSurvivesDamage_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("cut short") << QByteArray("{\\rtf1 {\\b bold") << QStringLiteral("bold");
    QTest::newRow("cut in an escape") << QByteArray("{\\rtf1 a\\'") << QStringLiteral("a");
    QTest::newRow("deep nesting") << (QByteArray("{\\rtf1 a") + QByteArray(100000, '{') + "x")
                                  << QStringLiteral("a");
    QTest::newRow("binary run past the end")
        << QByteArray("{\\rtf1 a\\bin999999999999 xyz}") << QStringLiteral("a");
    QTest::newRow("huge numbers") << QByteArray(
                                         "{\\rtf1\\fs99999999999999999 a\\u99999999999?b\\li-99999999999 c}")
                                  << QStringLiteral("a\uFFFDb c").remove(u' ');
    QTest::newRow("text after the end") << QByteArray("{\\rtf1 a}}} b") << QStringLiteral("a");
    QTest::newRow("escaped braces") << QByteArray("{\\rtf1 \\{x\\}\\\\}") << QStringLiteral("{x}\\");
    QTest::newRow("unicode skip") << QByteArray("{\\rtf1\\uc2 \\u1055\\'cf\\'cfa}") << QStringLiteral("Пa");
    QTest::newRow("list without levels")
        << QByteArray("{\\rtf1{\\*\\listtable{\\list\\listid1{\\listname x;}}}a\\ls1 b}") << QStringLiteral("ab");
    QTest::newRow("code page out of range") << QByteArray("{\\rtf1\\ansicpg99999999 a\\'e9}") << QStringLiteral("aé");
}

void TestTextControls::richTextSurvivesDamage()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QTextDocument Document;
    ReadRichText(bytes, Document);
    QCOMPARE(Document.toPlainText().remove(u' '), text);
}

void TestTextControls::richEditLoadsPlainOrRich()
{
    const QString Rich = WriteFile(QStringLiteral("readme.rtf"), SampleRtf);
    const QString Plain = WriteFile(QStringLiteral("readme.txt"), "{not rich}\r\n\xe0");
    TRichEdit Edit;
    QVERIFY(Edit.Lines().LoadFromFile(Rich));
    QCOMPARE(Edit.Lines().Count(), 4);
    QCOMPARE(Edit.Lines()[2], QStringLiteral("Привет é €"));
    QCOMPARE(FormatOf(*Edit.TextEdit()->document(), QStringLiteral("Title")).fontWeight(), int(QFont::Bold));
    QVERIFY(Edit.Lines().LoadFromFile(Plain));
    QCOMPARE(Edit.Lines().ToStringList(), QStringList({QStringLiteral("{not rich}"), QStringLiteral("а")}));
    Edit.SetPlainText(true);
    QVERIFY(Edit.Lines().LoadFromFile(Rich));
    QVERIFY(Edit.Lines()[0].startsWith(QStringLiteral("{\\rtf1")));
}

void TestTextControls::selStartShowsTheTop()
{
    TRichEdit Edit;
    Edit.SetBounds(0, 0, 200, 100);
    Edit.SetReadOnly(true);
    Edit.SetScrollBars(TCustomMemo::ssVertical);
    QStringList Lines;
    for (int I = 0; I < 200; ++I) {
        Lines.append(QStringLiteral("line %1").arg(I));
    }
    Edit.Lines().Assign(Lines);
    Edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&Edit));
    QScrollBar* Bar = Edit.TextEdit()->verticalScrollBar();
    QVERIFY(Bar->maximum() > 0);
    Bar->setValue(Bar->maximum());
    Edit.SetSelStart(0);
    QCOMPARE(Bar->value(), 0);
    QCOMPARE(Edit.SelStart(), 0);
    // Typing changes nothing in a read-only view.
    QTest::keyClicks(Edit.TextEdit(), QStringLiteral("x"));
    QCOMPARE(Edit.Lines()[0], QStringLiteral("line 0"));
}

QTEST_MAIN(TestTextControls)
#include "tst_textcontrols.moc"
