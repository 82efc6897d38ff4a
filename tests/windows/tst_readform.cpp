// The reader: its size and place, the close keys, plain and rich documents, and every display
// starting at the top.

#include "ReadForm.h"
#include "RichEdit.h"
#include "VeltraneBtn.h"
#include "lang/LangStrs.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
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

    QVERIFY(!Form.LoadDocument(FDir.filePath(u"missing.txt"_s)));
    QCOMPARE(Form.TextView()->Lines().Count(), 0);
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

QTEST_MAIN(TReadFormTest)
#include "tst_readform.moc"
