// The letter to the disc's author and to the developer: the mailto address, and what reaches the
// shell. Texts from the disc are encoded, so they cannot add fields to the address.

#include "FakeShellService.h"
#include "SendMail.h"
#include "lang/LangStrs.h"
#include "model/Project.h"

#include <QUrl>
#include <QUrlQuery>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestSendMail : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void mailToText_data();
    void mailToText();
    void discTextsAddNoFields_data();
    void discTextsAddNoFields();
    void authorLetterTakesTheCreator();
    void developerLetterKeepsItsLineBreaks();
    void executeHandsTheAddressToTheShell();

private:
    TFakeShellService FShell;
};

void TestSendMail::initTestCase()
{
    InitLanguageUnit();
    QVERIFY(ChooseStartupLanguage(0x0409));
}

void TestSendMail::cleanup()
{
    SetShellService(nullptr);
    FShell.Calls.clear();
}

void TestSendMail::mailToText_data()
{
    QTest::addColumn<QString>("Name");
    QTest::addColumn<QString>("Address");
    QTest::addColumn<QString>("Subject");
    QTest::addColumn<QString>("Body");
    QTest::addColumn<QString>("Expected");

    QTest::newRow("author letter") << u"Ivan Petrov"_s << u"ivan@example.com"_s << QString() << QString()
                                   << u"mailto:Ivan%20Petrov<ivan@example.com>?Subject=&body="_s;
    QTest::newRow("every blank") << u" A  B "_s << u"a@b.c"_s << QString() << QString()
                                 << u"mailto:%20A%20%20B%20<a@b.c>?Subject=&body="_s;
    QTest::newRow("ampersand in the name")
        << u"Smith & Co&attach=/etc/passwd"_s << u"s@x.org"_s << QString() << QString()
        << u"mailto:Smith%20%26%20Co%26attach%3D/etc/passwd<s@x.org>?Subject=&body="_s;
    QTest::newRow("question mark in the address")
        << u"A"_s << u"a@x.org?cc=spy@evil.org"_s << QString() << QString()
        << u"mailto:A<a@x.org%3Fcc%3Dspy@evil.org>?Subject=&body="_s;
    QTest::newRow("percent") << u"100% Disc"_s << u"a@x.org"_s << QString() << QString()
                             << u"mailto:100%25%20Disc<a@x.org>?Subject=&body="_s;
    QTest::newRow("escape written by the disc")
        << u"A%0D%0ABcc:spy@evil.org"_s << u"a@x.org"_s << QString() << QString()
        << u"mailto:A%250D%250ABcc:spy@evil.org<a@x.org>?Subject=&body="_s;
    QTest::newRow("hash") << u"Disc #1"_s << u"a@x.org#frag"_s << QString() << QString()
                          << u"mailto:Disc%20%231<a@x.org%23frag>?Subject=&body="_s;
    QTest::newRow("line break in the name becomes a blank")
        << u"Ivan\r\nBcc: spy@evil.org"_s << u"a@x.org"_s << QString() << QString()
        << u"mailto:Ivan%20%20Bcc:%20spy@evil.org<a@x.org>?Subject=&body="_s;
    QTest::newRow("line break in the address")
        << u"A"_s << u"a@x.org\n"_s << QString() << QString() << u"mailto:A<a@x.org%20>?Subject=&body="_s;
    QTest::newRow("subject and body")
        << u"A"_s << u"a@x.org"_s << u"Hi & bye?"_s << u"x=1+2\r\nend"_s
        << u"mailto:A<a@x.org>?Subject=Hi%20%26%20bye%3F&body=x%3D1%2B2%0D%0Aend"_s;
    QTest::newRow("angle brackets in the name")
        << u"<b>"_s << u"a@x.org"_s << QString() << QString() << u"mailto:%3Cb%3E<a@x.org>?Subject=&body="_s;
    QTest::newRow("cyrillic name as UTF-8") << u"Иван"_s << u"a@x.org"_s << QString() << QString()
                                            << u"mailto:%D0%98%D0%B2%D0%B0%D0%BD<a@x.org>?Subject=&body="_s;
}

void TestSendMail::mailToText()
{
    QFETCH(QString, Name);
    QFETCH(QString, Address);
    QFETCH(QString, Subject);
    QFETCH(QString, Body);
    QFETCH(QString, Expected);
    QCOMPARE(MailToUrl({Name, Address, Subject, Body, 0}), Expected);
}

void TestSendMail::discTextsAddNoFields_data()
{
    QTest::addColumn<QString>("Name");
    QTest::addColumn<QString>("Address");
    QTest::addColumn<QString>("Subject");
    QTest::addColumn<QString>("Body");

    QTest::newRow("plain") << u"Ivan Petrov"_s << u"ivan@example.com"_s << QString() << QString();
    QTest::newRow("fields in the name")
        << u"x?attach=/etc/passwd&cc=spy@evil.org"_s << u"a@x.org"_s << QString() << QString();
    QTest::newRow("fields in the address")
        << u"A"_s << u"a@x.org?bcc=spy@evil.org"_s << QString() << QString();
    QTest::newRow("fields in subject and body")
        << u"A"_s << u"a@x.org"_s << u"s&attach=x"_s << u"b#&body=other%20text%"_s;
}

// Whatever the disc writes, the address handed over has exactly the subject and body fields, and the
// mail program reads back the texts as written.
void TestSendMail::discTextsAddNoFields()
{
    QFETCH(QString, Name);
    QFETCH(QString, Address);
    QFETCH(QString, Subject);
    QFETCH(QString, Body);

    SetShellService(&FShell);
    TSendMailThread::Create({Name, Address, Subject, Body, 0});
    QCOMPARE(FShell.Calls.size(), 1);
    const QUrl Url(FShell.Calls[0].File, QUrl::StrictMode);
    QVERIFY(Url.isValid());
    QCOMPARE(Url.scheme(), u"mailto"_s);
    QVERIFY(!Url.hasFragment());
    QCOMPARE(Url.path(QUrl::FullyDecoded), Name + u'<' + Address + u'>');
    const QUrlQuery Query(Url);
    const auto Items = Query.queryItems(QUrl::FullyDecoded);
    QCOMPARE(Items.size(), 2);
    QCOMPARE(Items[0].first, u"Subject"_s);
    QCOMPARE(Items[0].second, Subject);
    QCOMPARE(Items[1].first, u"body"_s);
    QCOMPARE(Items[1].second, Body);
}

void TestSendMail::authorLetterTakesTheCreator()
{
    TUserInfo Creator;
    Creator.SetInfo(u"Ivan Petrov"_s, u"Disc Co"_s, u"ivan@example.com"_s, u"www.example.com"_s);
    const TLetter Letter = AuthorLetter(Creator);
    QCOMPARE(Letter.Name, u"Ivan Petrov"_s);
    QCOMPARE(Letter.Address, u"ivan@example.com"_s);
    QVERIFY(Letter.Subject.isEmpty());
    QVERIFY(Letter.Body.isEmpty());
    QCOMPARE(Letter.Flags, 0u);
}

void TestSendMail::developerLetterKeepsItsLineBreaks()
{
    const TLetter Letter = DeveloperLetter(u"The Developer"_s, u"dev@example.org"_s, u"2.7.5 build 31225"_s);
    QCOMPARE(Letter.Subject, u"Veltrane e-mail letter"_s);
    QCOMPARE(MailToUrl(Letter),
             u"mailto:The%20Developer<dev@example.org>?Subject=Veltrane%20e-mail%20letter"
             u"&body=Hello,%20Veltrane%20developer.%20%0D%0DI'm%20using%20Veltrane%20version%20"
             u"2.7.5%20build%2031225..."_s);
}

void TestSendMail::executeHandsTheAddressToTheShell()
{
    SetShellService(&FShell);
    FShell.Results = {srNoAssociation};
    // A refusal of the shell is not reported.
    TSendMailThread::Create({u"Ivan Petrov"_s, u"ivan@example.com"_s, QString(), QString(), 0});
    QCOMPARE(FShell.Calls.size(), 1);
    QCOMPARE(FShell.Calls[0].Verb, TFakeShellService::svOpenUrl);
    QCOMPARE(FShell.Calls[0].File, u"mailto:Ivan%20Petrov%3Civan@example.com%3E?Subject=&body="_s);
}

QTEST_MAIN(TestSendMail)
#include "tst_sendmail.moc"
