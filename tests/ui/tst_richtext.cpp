#include "RichText.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

using namespace Qt::StringLiterals;

// The rich-text reader against what word processors write: the text a reader sees, and nothing else.
class TestRichText : public QObject
{
    Q_OBJECT

private slots:
    void shownText_data();
    void shownText();
    void runsOfOneFormatting();
};

namespace {

// A list table as word processors write it: a numbered list of two levels (1. and a)) and a
// bullet list in the Symbol font.
const QByteArray ListTables =
    "{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}"
    "{\\*\\listtable{\\list\\listtemplateid1"
    "{\\listlevel\\levelnfc0\\levelstartat1\\levelfollow0{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}}"
    "{\\listlevel\\levelnfc4\\levelstartat1{\\leveltext\\'02\\'01);}{\\levelnumbers\\'01;}}"
    "{\\listname ;}\\listid7}"
    "{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u-3913 ?;}\\f1}\\listid8}}\r\n"
    "{\\*\\listoverridetable{\\listoverride\\listid7\\listoverridecount0\\ls1}"
    "{\\listoverride\\listid8\\ls2}}\r\n";

QString PlainText(const QByteArray& Rtf)
{
    QTextDocument Document;
    ReadRichText(Rtf, Document);
    return Document.toPlainText();
}

} // namespace

void TestRichText::shownText_data()
{
    QTest::addColumn<QByteArray>("Rtf");
    QTest::addColumn<QString>("Text");

    QTest::newRow("hidden text") << QByteArray("{\\rtf1 a{\\v b}c\\v d\\v0 e\\v f\\plain g}") << u"aceg"_s;
    QTest::newRow("\\upr shows its Unicode branch")
        << QByteArray("{\\rtf1 a{\\upr{b\\'3f}{\\*\\ud{\\u1055\\'3f}}}c}") << u"aПc"_s;
    QTest::newRow("optional hyphen") << QByteArray("{\\rtf1 long\\-word}") << u"long\u00ADword"_s;

    const QByteArray Fonts = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f3\\froman\\fcharset2\\fprq2"
                             "{\\*\\panose 05050102010706020507}Symbol;}{\\f4\\fcharset2 Wingdings;}}";
    QTest::newRow("Symbol bullet") << Fonts + "{\\f3\\'b7}\\tab item}" << u"\u2022\titem"_s;
    QTest::newRow("Symbol letters") << Fonts + "\\f3 ab\\f0 ab}" << u"\u03B1\u03B2ab"_s;
    QTest::newRow("Symbol as Unicode") << Fonts + "\\f3\\u-3913?\\u61623?}" << u"\u2022\u2022"_s;
    QTest::newRow("Wingdings") << Fonts + "\\f4\\'fcl}" << u"\u2713\u25CF"_s;

    QTest::newRow("nested table cells")
        << QByteArray("{\\rtf1\\trowd\\cellx1000\\pard\\intbl a\\nestcell b\\nestcell"
                      "{\\*\\nesttableprops\\trowd\\cellx500\\nestrow}{\\nonesttables\\par}c\\cell\\row}")
        << u"a\tb\t\nc\t\n"_s;
    QTest::newRow("hyperlink field") << QByteArray("{\\rtf1 see {\\field{\\*\\fldinst {HYPERLINK "
                                                   "\"http://x.example/\" }{{\\*\\datafield 00d0c9ea}}}"
                                                   "{\\fldrslt {\\ul\\cf1 the site}}} now}")
                                     << u"see the site now"_s;
    QTest::newRow("pictures and objects")
        << QByteArray(
               "{\\rtf1 a{\\*\\shppict{\\pict\\pngblip\\picw10{\\*\\blipuid 0011}89504e47}}"
               "{\\nonshppict{\\pict\\wmetafile8 0102}}b"
               "{\\object\\objemb{\\*\\objclass Paint}{\\*\\objdata 0105}{\\result{\\pict\\wmetafile8 "
               "0506}}}c"
               "{\\shp{\\*\\shpinst{\\sp{\\sn pib}{\\sv{\\pict 0102}}}}{\\shprslt{\\*\\do\\dobxcolumn}}}d"
               "{\\pict\\bin2 }{}e}")
        << u"abcde"_s;
    QTest::newRow("note marks")
        << QByteArray("{\\rtf1\\aftnnrlc a{\\super\\chftn {\\footnote\\pard{\\super\\chftn} Note.}}"
                      " b{\\super\\chftn}{\\footnote\\ftnalt\\pard{\\super\\chftn} End.}"
                      " c{\\cs15\\super \\chftn }{\\footnote \\pard\\plain Two.}}")
        << u"a1 bi c2"_s;

    const QByteArray Lists = "{\\rtf1" + ListTables;
    QTest::newRow("list numbers from the list table")
        << Lists + "\\pard\\ls1 One\\par\\pard\\ls1\\ilvl1 Sub\\par\\pard\\ls1\\ilvl1 Sub\\par"
                   "\\pard\\ls1 Two\\par\\pard\\ls1\\ilvl1 Sub\\par\\pard Plain\\par\\pard\\ls2 Dot}"
        << u"1.\tOne\na)\tSub\nb)\tSub\n2.\tTwo\na)\tSub\nPlain\n\u2022\tDot"_s;
    QTest::newRow("blank list text")
        << Lists + "{\\listtext\\pard\\plain\\tab}\\pard\\ls1 One\\par{\\listtext\\tab}\\pard\\ls1 Two}"
        << u"1.\tOne\n2.\tTwo"_s;
    QTest::newRow("list text given")
        << Lists + "{\\listtext\\pard\\plain 1.\\tab}\\pard\\ls1 One\\par{\\listtext 2.\\tab}\\pard\\ls1 Two}"
        << u"1.\tOne\n2.\tTwo"_s;

    // 8-bit text in the code page of the document or of its font.
    const auto Document = [](const char* CodePage, const char* Bytes) -> QByteArray {
        return QByteArray("{\\rtf1\\ansi\\ansicpg") + CodePage + ' ' + Bytes + '}';
    };
    QTest::newRow("1250 Polish") << Document("1250", "Za\\'bf\\'f3\\'b3\\'e6") << u"Zażółć"_s;
    QTest::newRow("1251 Russian") << Document("1251", "\\'cf\\'f0\\'e8") << u"При"_s;
    QTest::newRow("1253 Greek") << Document("1253", "\\'e1\\'e2\\'e3") << u"αβγ"_s;
    QTest::newRow("1254 Turkish") << Document("1254", "\\'fe\\'f0\\'fd") << u"şğı"_s;
    QTest::newRow("1255 Hebrew") << Document("1255", "\\'f9\\'ec\\'e5\\'ed") << u"שלום"_s;
    QTest::newRow("1256 Arabic") << Document("1256", "\\'c7\\'e1") << u"\u0627\u0644"_s;
    QTest::newRow("1257 Baltic") << Document("1257", "\\'e0\\'e8") << u"ąč"_s;
    QTest::newRow("1258 Vietnamese") << Document("1258", "\\'f5") << u"ơ"_s;
    QTest::newRow("874 Thai") << Document("874", "\\'a1\\'a2") << u"กข"_s;
    QTest::newRow("932 Japanese") << Document("932", "\\'93\\'fa\\'96\\'7b") << u"日本"_s;
    QTest::newRow("936 Simplified Chinese") << Document("936", "\\'d6\\'d0\\'ce\\'c4") << u"中文"_s;
    QTest::newRow("949 Korean") << Document("949", "\\'c7\\'d1\\'b1\\'b9") << u"한국"_s;
    QTest::newRow("950 Traditional Chinese") << Document("950", "\\'a4\\'a4\\'a4\\'e5") << u"中文"_s;
    // A double-byte character whose second byte is written as it is.
    QTest::newRow("932 with a plain trail byte") << Document("932", "\\'83A") << u"ア"_s;

    // The font's character set wins over the document's code page.
    const QByteArray CodePageFonts =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset238 Arial CE;}"
        "{\\f2\\fcharset161 Arial Greek;}{\\f3\\fcharset128 MS Mincho;}{\\f4\\cpg1251 Any;}}";
    QTest::newRow("fonts of several code pages")
        << CodePageFonts + "\\'e9 \\f1\\'b3 \\f2\\'e1 \\f3\\'93\\'fa \\f4\\'cf\\f0  \\'e9}"
        << u"é ł α 日 П é"_s;
}

void TestRichText::shownText()
{
    QFETCH(QByteArray, Rtf);
    QFETCH(QString, Text);
    QCOMPARE(PlainText(Rtf), Text);
}

// The reader gathers text across groups while the formatting stays the same: text of one formatting
// is one fragment, and every change of formatting, also one made inside a group, starts a new one.
void TestRichText::runsOfOneFormatting()
{
    QTextDocument Document;
    ReadRichText("{\\rtf1 {\\b one}{\\b  two} {\\i three}{\\i\\b0  four}{\\b\\i0  five}\\par six}", Document);
    QStringList Fragments;
    QStringList Styles;
    for (QTextBlock Block = Document.begin(); Block.isValid(); Block = Block.next()) {
        for (auto It = Block.begin(); !It.atEnd(); ++It) {
            const QTextCharFormat Format = It.fragment().charFormat();
            Fragments << It.fragment().text();
            Styles << QString(Format.fontWeight() == QFont::Bold ? u"b"_s : u""_s) +
                          (Format.fontItalic() ? u"i"_s : u""_s);
        }
    }
    QCOMPARE(Fragments, (QStringList{u"one two"_s, u" "_s, u"three four"_s, u" five"_s, u"six"_s}));
    QCOMPARE(Styles, (QStringList{u"b"_s, u""_s, u"i"_s, u"b"_s, u""_s}));
}

QTEST_MAIN(TestRichText)
#include "tst_richtext.moc"
