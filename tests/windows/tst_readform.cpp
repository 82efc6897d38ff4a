// The reader: its size and place, the close keys, plain and rich documents, documents beyond the
// view's limits and unreadable ones, every document in the view's own style, and every display
// starting at the top.

#include "FakeMessageService.h"
#include "Label.h"
#include "ReadForm.h"
#include "RichEdit.h"
#include "VeltraneBtn.h"
#include "lang/LangStrs.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;

class TReadFormTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sizeAndPlace();
    void closeKeys_data();
    void closeKeys();
    void plainAndRichDocuments();
    void everyDisplayStartsAtTheTop();
    void longDocumentsShowTheirBeginning_data();
    void longDocumentsShowTheirBeginning();
    void unreadableDocumentIsReported();
    void everyDocumentStartsInTheViewStyle();

private:
    QString Write(const QString& Name, const QByteArray& Bytes);
    QTemporaryDir FDir;
};

void TReadFormTest::initTestCase()
{
    InitLanguageUnit();
    ChooseStartupLanguage(0x0409);
    QVERIFY(FDir.isValid());
}

QString TReadFormTest::Write(const QString& Name, const QByteArray& Bytes)
{
    const QString Path = FDir.filePath(Name);
    QFile F(Path);
    if (!F.open(QIODevice::WriteOnly) || F.write(Bytes) != Bytes.size())
        qWarning("cannot write %s", qPrintable(Path));
    return Path;
}

void TReadFormTest::sizeAndPlace()
{
    TReadF Form;
    const QRect Screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(Form.Width(), qRound(Screen.width() * 0.7));
    QCOMPARE(Form.Height(), qRound(Screen.height() * 0.7));
    QCOMPARE(Form.x(), (Screen.width() - Form.Width()) / 2);
    QCOMPARE(Form.y(), (Screen.height() - Form.Height()) / 2);
    const TRichEdit* View = Form.TextView();
    QCOMPARE(View->Left(), 6);
    QCOMPARE(View->Top(), 25 + 10);
    QCOMPARE(View->Width(), Form.ClientWidth() - 12);
    QCOMPARE(View->Height(), Form.ClientHeight() - 80);

    // The close button sits under the text, its right edge on the text's.
    QTimer::singleShot(0, &Form, [&] { Form.Close(); });
    Form.ShowModal();
    const TVeltraneBtn* Close = Form.CloseBtn();
    QCOMPARE(Close->Caption(), u"Close"_s);
    QCOMPARE(QRect(Close->Left(), Close->Top(), Close->Width(), Close->Height()),
             QRect(View->Left() + View->Width() - 100, View->Top() + View->Height() + 10, 100, 32));
}

void TReadFormTest::closeKeys_data()
{
    QTest::addColumn<int>("Key");
    QTest::addColumn<int>("Modifiers");
    QTest::addColumn<bool>("Closes");
    QTest::newRow("Escape") << int(Qt::Key_Escape) << 0 << true;
    QTest::newRow("F10") << int(Qt::Key_F10) << 0 << true;
    QTest::newRow("Ctrl+X") << int(Qt::Key_X) << int(Qt::ControlModifier) << true;
    QTest::newRow("X alone") << int(Qt::Key_X) << 0 << false;
    QTest::newRow("a letter") << int(Qt::Key_A) << 0 << false;
}

void TReadFormTest::closeKeys()
{
    QFETCH(int, Key);
    QFETCH(int, Modifiers);
    QFETCH(bool, Closes);
    TReadF Form;
    Form.LoadDocument(Write(u"keys.txt"_s, "Unchanged text"));
    bool Open = false;
    QTimer::singleShot(0, &Form, [&] {
        // Typed into the text view, the letter changes nothing.
        QTest::keyClick(Form.TextView()->TextEdit(), Qt::Key_A);
        QTest::keyClick(&Form, Qt::Key(Key), Qt::KeyboardModifiers(Modifiers));
        Open = Form.isVisible();
        Form.Close();
    });
    Form.ShowModal();
    QCOMPARE(Open, !Closes);
    // Typing never changes the document.
    QCOMPARE(Form.TextView()->Lines().Text().trimmed(), u"Unchanged text"_s);
}

void TReadFormTest::plainAndRichDocuments()
{
    TReadF Form;
    QVERIFY(Form.LoadDocument(Write(u"plain.txt"_s, "First line\r\n{\\b not rich}\r\n")));
    QCOMPARE(Form.TextView()->Lines().Count(), 2);
    QCOMPARE(Form.TextView()->Lines()[1], u"{\\b not rich}"_s);

    QVERIFY(Form.LoadDocument(Write(u"rich.rtf"_s, "{\\rtf1\\ansi {\\b Bold} text\\par}")));
    QCOMPARE(Form.TextView()->Lines()[0], u"Bold text"_s);
    QVERIFY(Form.TextView()->TextEdit()->toHtml().contains(u"font-weight"_s));

    QString Error;
    QVERIFY(!Form.LoadDocument(FDir.filePath(u"missing.txt"_s), &Error));
    QCOMPARE(Form.TextView()->Lines().Count(), 0);
    QVERIFY(!Error.isEmpty());
}

void TReadFormTest::everyDisplayStartsAtTheTop()
{
    TReadF Form;
    QByteArray Long;
    for (int I = 0; I < 400; ++I)
        Long += "Line " + QByteArray::number(I) + "\r\n";
    Form.LoadDocument(Write(u"long.txt"_s, Long));
    int Position = -1;
    QTimer::singleShot(0, &Form, [&] {
        Form.TextView()->SetSelStart(Form.TextView()->Text().size());
        Form.Close();
    });
    Form.ShowModal();
    QTimer::singleShot(0, &Form, [&] {
        Position = Form.TextView()->SelStart();
        Form.Close();
    });
    Form.ShowModal();
    QCOMPARE(Position, 0);
}

void TReadFormTest::longDocumentsShowTheirBeginning_data()
{
    QTest::addColumn<QByteArray>("Bytes");
    QTest::addColumn<QString>("FirstLine");

    QByteArray Lines;
    for (int I = 0; I < TControlStrings::MaxLines + 10; ++I)
        Lines += "Line " + QByteArray::number(I) + "\r\n";
    QTest::newRow("500,010 lines") << Lines << u"Line 0"_s;

    // Most of a rich text this large is usually a picture; the text before it must still show.
    QByteArray Rich = "{\\rtf1\\ansi {\\b Opening} words\\par{\\pict\\pngblip ";
    Rich += QByteArray(17 * 1024 * 1024, 'a');
    Rich += "}Closing words\\par}";
    QTest::newRow("17 MiB rich text") << Rich << u"Opening words"_s;
}

void TReadFormTest::longDocumentsShowTheirBeginning()
{
    QFETCH(QByteArray, Bytes);
    QFETCH(QString, FirstLine);
    TReadF Form;
    QString Error;
    QVERIFY(Form.LoadDocument(Write(u"long"_s, Bytes), &Error));
    QVERIFY(Error.isEmpty());
    TRichEdit* View = Form.TextView();
    QVERIFY(View->Lines().Truncated());
    QCOMPARE(View->Lines()[0], FirstLine);
    QVERIFY(View->Lines().Count() <= TControlStrings::MaxLines);
    // Shown with the reader, the note says that the rest is not shown.
    bool NoteShown = false;
    QTimer::singleShot(0, &Form, [&] {
        NoteShown = Form.CutNote()->isVisible();
        Form.Close();
    });
    Form.ShowModal();
    QVERIFY(NoteShown);
    QCOMPARE(Form.CutNote()->Caption(), u"The rest of this document is not shown: the reader shows at most "
                                        u"the first 16 MB and 500,000 lines of a document."_s);

    // A whole document shows no note.
    QVERIFY(Form.LoadDocument(Write(u"short.txt"_s, "Short")));
    QCOMPARE(View->TextEdit()->toPlainText(), u"Short"_s);
    QVERIFY(!View->Lines().Truncated());
    QVERIFY(!Form.CutNote()->Visible());
}

void TReadFormTest::unreadableDocumentIsReported()
{
    TRecordingMessages Boxes;
    SetMessageService(&Boxes);
    TReadF Form;
    QVERIFY(Form.LoadDocument(Write(u"before.txt"_s, "Before")));
    // A folder where the document should be: it opens as a name but cannot be read.
    const QString Folder = FDir.filePath(u"folder.txt"_s);
    QVERIFY(QDir().mkpath(Folder));
    bool Shown = false;
    QTimer::singleShot(0, &Form, [&] {
        Shown = Form.isVisible();
        Form.Close();
    });
    Form.ShowDocument(Folder);
    // Nothing opens on an empty reader: the message says which file and why.
    QVERIFY(!Shown);
    QCOMPARE(Form.TextView()->Lines().Count(), 0);
    SetMessageService(nullptr);
    QCOMPARE(Boxes.Boxes.size(), 1);
    QVERIFY2(Boxes.Boxes[0].Text.contains(Folder) && Boxes.Boxes[0].Text.contains(u"Cannot read"_s),
             qPrintable(Boxes.Boxes[0].Text));
    QVERIFY(Boxes.Boxes[0].Text.size() > u"Cannot read the document :\n"_s.size() + Folder.size());
}

void TReadFormTest::everyDocumentStartsInTheViewStyle()
{
    const auto FormatAt = [](const TReadF& Form, int Position) {
        QTextCursor Cursor(Form.TextView()->TextEdit()->document());
        Cursor.setPosition(Position);
        return Cursor.charFormat();
    };
    const QString Plain = Write(u"plain.txt"_s, "Plain words\r\nSecond line\r\n");
    TReadF Fresh;
    QVERIFY(Fresh.LoadDocument(Plain));
    const QTextCharFormat Own = FormatAt(Fresh, 3);

    TReadF Form;
    QVERIFY(Form.LoadDocument(Write(u"red.rtf"_s, "{\\rtf1\\ansi{\\colortbl;\\red255\\green0\\blue0;}"
                                                  "\\qc\\cf1\\fs120\\b Red big bold\\par}")));
    QCOMPARE(FormatAt(Form, 3).fontWeight(), int(QFont::Bold));
    // Shown once, as the caret then stands on the red text.
    QTimer::singleShot(0, &Form, [&] { Form.Close(); });
    Form.ShowModal();

    QVERIFY(Form.LoadDocument(Plain));
    for (const int Position : {1, 3, 14}) {
        const QTextCharFormat Format = FormatAt(Form, Position);
        QCOMPARE(Format.foreground(), Own.foreground());
        QCOMPARE(Format.fontWeight(), Own.fontWeight());
        QCOMPARE(Format.fontPointSize(), Own.fontPointSize());
        QCOMPARE(Format, Own);
    }
    QCOMPARE(Form.TextView()->TextEdit()->document()->firstBlock().blockFormat().alignment(),
             Fresh.TextView()->TextEdit()->document()->firstBlock().blockFormat().alignment());
}

QTEST_MAIN(TReadFormTest)
#include "tst_readform.moc"
