// The picture viewer: stepping through pictures and screenshots with keys and clicks, closing at
// either end, fitting pictures to the screen, and gathering an item's picture steps.

#include "CursorSlots.h"
#include "Image.h"
#include "MessageService.h"
#include "PhotoForm.h"
#include "config/ProgramPaths.h"
#include "model/Project.h"

#include <QFile>
#include <QImage>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

class TRecordingMessages : public IMessageService
{
public:
    int MessageBox(const QString& Text, const QString& Caption, unsigned Flags) override
    {
        Q_UNUSED(Caption);
        Boxes.append({Text, Flags});
        return 1;
    }
    QList<QPair<QString, unsigned>> Boxes;
};

// Picture i of the lists: a plain colour, so that what is shown can be told apart.
const QList<QRgb> PictureColors{0xFFFF0000, 0xFF00FF00, 0xFF0000FF};

} // namespace

class TestPhotoForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void navigation_data();
    void navigation();
    void smallPictureAtItsOwnSizeInTheCentre();
    void largePictureFittedToTheScreen();
    void iconIsDrawnTransparent();
    void unreadableFirstPictureOpensNoWindow();
    void indexOutsideTheListOpensNoWindow();
    void entriesUseTheViewerOfTheRun();
    void cursorsFollowTheSwitch();
    void collectImageActions_data();
    void collectImageActions();

private:
    QString WritePicture(const QString& Name, QSize Size, QRgb Color);
    void FillLists(int Count);

    std::unique_ptr<QTemporaryDir> FDir;
    std::unique_ptr<TVeltraneProject> FProject;
    std::unique_ptr<TPhotoF> FForm;
    TScreenshots FScreenshots;
    TRecordingMessages FMessages;
};

void TestPhotoForm::initTestCase()
{
    SetMessageService(&FMessages);
}

void TestPhotoForm::init()
{
    FDir = std::make_unique<QTemporaryDir>();
    QVERIFY(FDir->isValid());
    FProject = std::make_unique<TVeltraneProject>();
    FProject->Folder = FDir->path() + u'/';
    Project = FProject.get();
    FForm = std::make_unique<TPhotoF>();
    FMessages.Boxes.clear();
    ImageActionList.Clear();
    FScreenshots.Clear();
}

void TestPhotoForm::cleanup()
{
    FForm.reset();
    ImageActionList.Clear();
    FScreenshots.Clear();
    Project = nullptr;
    FProject.reset();
    FDir.reset();
}

QString TestPhotoForm::WritePicture(const QString& Name, QSize Size, QRgb Color)
{
    QImage Image(Size, QImage::Format_RGB32);
    Image.fill(Color);
    const QString Path = FDir->path() + u'/' + Name;
    if (!Image.save(Path, "PNG"))
        qWarning("cannot write %s", qPrintable(Path));
    return Path;
}

// Pictures "Pics\p<i>.png" as picture steps in ImageActionList and as screenshots.
void TestPhotoForm::FillLists(int Count)
{
    QDir(FDir->path()).mkpath(u"Pics"_s);
    for (int I = 0; I < Count; ++I) {
        const QString Name = u"Pics\\p"_s + QString::number(I) + u".png"_s;
        WritePicture(u"Pics/p"_s + QString::number(I) + u".png"_s, QSize(40 + 10 * I, 30), PictureColors[I]);
        TShellAction& Step = ImageActionList.Add();
        Step.ShellActionType = atOpenObject;
        Step.ObjectType = otImage;
        Step.OpenObject = Name;
        FScreenshots.Add().FileName = Name;
    }
}

void TestPhotoForm::navigation_data()
{
    QTest::addColumn<int>("Count");
    QTest::addColumn<int>("Start");
    // Right, Left, Enter, Space, Escape, Other (a key the viewer ignores), Click (left click on the
    // picture), RightButton (on the picture), RightButtonForm, RightOnPicture (the key sent to the
    // picture control, which passes it to the window).
    QTest::addColumn<QStringList>("Input");
    // The picture shown after each input; -1 once the window has closed.
    QTest::addColumn<QList<int>>("Shown");

    for (const QString& Input : {u"Right"_s, u"Left"_s, u"Enter"_s, u"Space"_s, u"Escape"_s, u"Click"_s,
                                 u"RightButton"_s, u"RightButtonForm"_s}) {
        QTest::addRow("one picture, %s closes", qPrintable(Input))
            << 1 << 0 << QStringList{Input} << QList<int>{-1};
    }
    QTest::newRow("three from the second, right, right")
        << 3 << 1 << QStringList{u"Right"_s, u"Right"_s} << QList<int>{2, -1};
    QTest::newRow("three from the second, left, left")
        << 3 << 1 << QStringList{u"Left"_s, u"Left"_s} << QList<int>{0, -1};
    QTest::newRow("forward with each key and click")
        << 3 << 0 << QStringList{u"Enter"_s, u"Space"_s, u"Click"_s} << QList<int>{1, 2, -1};
    QTest::newRow("back and forth") << 3 << 0 << QStringList{u"Right"_s, u"Left"_s, u"Right"_s, u"Right"_s}
                                    << QList<int>{1, 0, 1, 2};
    QTest::newRow("other keys are ignored")
        << 3 << 1 << QStringList{u"Other"_s, u"Other"_s} << QList<int>{1, 1};
    QTest::newRow("key on the picture counts once")
        << 3 << 0 << QStringList{u"RightOnPicture"_s} << QList<int>{1};
    QTest::newRow("escape in the middle") << 3 << 1 << QStringList{u"Escape"_s} << QList<int>{-1};
    QTest::newRow("right button in the middle") << 3 << 1 << QStringList{u"RightButton"_s} << QList<int>{-1};
}

void TestPhotoForm::navigation()
{
    QFETCH(int, Count);
    QFETCH(int, Start);
    QFETCH(QStringList, Input);
    QFETCH(QList<int>, Shown);

    FillLists(Count);
    for (const bool Screenshots : {false, true}) {
        QList<int> Seen;
        QList<QString> Files;
        bool StillOpen = false;
        TPhotoF& Form = *FForm;
        // The inputs arrive while the window waits in its modal loop.
        QTimer::singleShot(0, &Form, [&] {
            QCOMPARE(PhotoIndex, Start);
            QCOMPARE(ShowingScreenshots, Screenshots);
            for (const QString& In : Input) {
                if (!Form.isVisible())
                    break;
                TImage* Picture = Form.Image();
                const QPoint Centre = Picture->rect().center();
                if (In == u"Right"_s)
                    QTest::keyClick(&Form, Qt::Key_Right);
                else if (In == u"Left"_s)
                    QTest::keyClick(&Form, Qt::Key_Left);
                else if (In == u"Enter"_s)
                    QTest::keyClick(&Form, Qt::Key_Return);
                else if (In == u"Space"_s)
                    QTest::keyClick(&Form, Qt::Key_Space);
                else if (In == u"Escape"_s)
                    QTest::keyClick(&Form, Qt::Key_Escape);
                else if (In == u"Other"_s)
                    QTest::keyClick(&Form, Qt::Key_Down);
                else if (In == u"RightOnPicture"_s)
                    QTest::keyClick(Picture, Qt::Key_Right);
                else if (In == u"Click"_s)
                    QTest::mouseClick(Picture, Qt::LeftButton, {}, Centre);
                else if (In == u"RightButton"_s)
                    QTest::mousePress(Picture, Qt::RightButton, {}, Centre);
                else if (In == u"RightButtonForm"_s)
                    QTest::mousePress(&Form, Qt::RightButton, {}, QPoint(1, 1));
                Seen.append(Form.isVisible() ? PhotoIndex : -1);
                Files.append(Form.ShownFile());
            }
            StillOpen = Form.isVisible();
            if (StillOpen)
                Form.Close();
        });
        const bool Opened = Screenshots ? Form.ShowScreenshotList(FScreenshots, Start)
                                        : Form.ShowImageList(ImageActionList, Start);
        QVERIFY(Opened);
        QCOMPARE(Seen, Shown);
        for (int I = 0; I < Seen.size(); ++I) {
            if (Seen[I] >= 0)
                QCOMPARE(Files[I], FProject->Folder + u"Pics\\p"_s + QString::number(Seen[I]) + u".png"_s);
        }
        QCOMPARE(StillOpen, Shown.last() >= 0);
        // Closing forgets the list and the position.
        QCOMPARE(PhotoIndex, -1);
        QCOMPARE(ShowingScreenshots, false);
        QVERIFY(!Form.isVisible());
        QCOMPARE(ImageActionList.Count(), Count);
    }
    QVERIFY(FMessages.Boxes.isEmpty());
}

void TestPhotoForm::smallPictureAtItsOwnSizeInTheCentre()
{
    TPhotoF& Form = *FForm;
    const int W = Form.ClientWidth();
    const int H = Form.ClientHeight();
    QVERIFY(W > 100 && H > 100);
    QCOMPARE(Form.Image()->geometry(), QRect(0, 0, W, H));
    QVERIFY(Form.ShowPicture(WritePicture(u"small.png"_s, QSize(60, 40), 0xFF00FF00)));
    QVERIFY(!Form.Image()->Stretch());
    QCOMPARE(Form.Image()->DestRect(), QRect((W - 60) / 2, (H - 40) / 2, 60, 40));
    const QImage Shot = Form.grab().toImage();
    QCOMPARE(Shot.pixel(W / 2, H / 2), 0xFF00FF00u);
    QCOMPARE(Shot.pixel(0, 0), 0xFF000000u);
    QCOMPARE(Shot.pixel((W - 60) / 2 - 1, H / 2), 0xFF000000u);
}

void TestPhotoForm::largePictureFittedToTheScreen()
{
    TPhotoF& Form = *FForm;
    const int W = Form.ClientWidth();
    const int H = Form.ClientHeight();
    // Twice the screen's width and half its height: half the size fits, proportions kept.
    QVERIFY(Form.ShowPicture(WritePicture(u"large.png"_s, QSize(2 * W, H / 2), 0xFF0000FF)));
    QVERIFY(Form.Image()->Stretch());
    const QRect Dest = Form.Image()->DestRect();
    QCOMPARE(Dest.width(), W);
    QCOMPARE(Dest.height(), H / 4);
    QCOMPARE(Dest.top(), (H - H / 4) / 2);
    const QImage Shot = Form.grab().toImage();
    QCOMPARE(Shot.pixel(W / 2, H / 2), 0xFF0000FFu);
    QCOMPARE(Shot.pixel(0, H / 2), 0xFF0000FFu);
    QCOMPARE(Shot.pixel(W / 2, 0), 0xFF000000u);
}

void TestPhotoForm::iconIsDrawnTransparent()
{
    TPhotoF& Form = *FForm;
    QVERIFY(Form.ShowPicture(QStringLiteral(AUTORUN_TEST_DATA_DIR "/imaging/ico-three-sizes.ico")));
    QVERIFY(Form.Image()->Transparent());
    QVERIFY(Form.ShowPicture(WritePicture(u"plain.png"_s, QSize(10, 10), 0xFF00FF00)));
    QVERIFY(!Form.Image()->Transparent());
}

void TestPhotoForm::unreadableFirstPictureOpensNoWindow()
{
    FillLists(2);
    QFile Broken(FDir->path() + u"/Pics/p1.png"_s);
    QVERIFY(Broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    Broken.write("not a picture");
    Broken.close();
    QVERIFY(!FForm->ShowImageList(ImageActionList, 1));
    QVERIFY(!FForm->isVisible());
    QCOMPARE(PhotoIndex, -1);
    QCOMPARE(FMessages.Boxes.size(), 1);
    QVERIFY(FMessages.Boxes[0].first.contains(u"p1.png"_s));
    QCOMPARE(FMessages.Boxes[0].second, 0x2010u);

    // Reached by stepping, the same file is reported and the window stays open on black.
    FMessages.Boxes.clear();
    bool Open = false;
    QTimer::singleShot(0, FForm.get(), [&] {
        QTest::keyClick(FForm.get(), Qt::Key_Right);
        Open = FForm->isVisible();
        QCOMPARE(PhotoIndex, 1);
        QVERIFY(!FForm->Image()->Picture().HasGraphic());
        FForm->Close();
    });
    QVERIFY(FForm->ShowImageList(ImageActionList, 0));
    QVERIFY(Open);
    QCOMPARE(FMessages.Boxes.size(), 1);
}

void TestPhotoForm::indexOutsideTheListOpensNoWindow()
{
    FillLists(2);
    QVERIFY(!FForm->ShowImageList(ImageActionList, 2));
    QVERIFY(!FForm->ShowImageList(ImageActionList, -1));
    QVERIFY(!FForm->ShowScreenshotList(FScreenshots, 5));
    TShellActions Empty;
    QVERIFY(!FForm->ShowImageList(Empty, 0));
    QVERIFY(!FForm->isVisible());
    QCOMPARE(PhotoIndex, -1);
    QVERIFY(FMessages.Boxes.isEmpty());
}

void TestPhotoForm::entriesUseTheViewerOfTheRun()
{
    FillLists(1);
    QCOMPARE(PhotoF, FForm.get());
    QTimer::singleShot(0, FForm.get(), [&] { QTest::keyClick(FForm.get(), Qt::Key_Escape); });
    QVERIFY(ShowScreenshotList(FScreenshots, 0));
    FForm.reset();
    QVERIFY(!PhotoF);
    QVERIFY(!ShowImageList(ImageActionList, 0));
}

void TestPhotoForm::cursorsFollowTheSwitch()
{
    SetAnimatedCursors(false);
    QCOMPARE(FForm->Cursor(), int(crDefault));
    QCOMPARE(FForm->Image()->Cursor(), int(crHandPoint));
    SetAnimatedCursors(true);
    QCOMPARE(FForm->Cursor(), int(CursorDefault));
    QCOMPARE(FForm->Image()->Cursor(), int(CursorHand));
    ResetCursorSlots();
}

void TestPhotoForm::collectImageActions_data()
{
    // Steps as "kind:file": kind is "image", "text" (open a text), "run" (execute) or "message";
    // a file name starting with "missing" does not exist.
    QTest::addColumn<QStringList>("Steps");
    QTest::addColumn<int>("Before"); // entries already in the list
    QTest::addColumn<QStringList>("Expected");

    QTest::newRow("every step opens a picture")
        << QStringList{u"image:a.png"_s, u"image:b.png"_s, u"image:c.png"_s} << 0
        << QStringList{u"a.png"_s, u"b.png"_s, u"c.png"_s};
    QTest::newRow("missing files are left out")
        << QStringList{u"image:a.png"_s, u"image:missing.png"_s, u"image:c.png"_s} << 0
        << QStringList{u"a.png"_s, u"c.png"_s};
    QTest::newRow("two pictures, then a program")
        << QStringList{u"image:a.png"_s, u"image:b.png"_s, u"run:setup.exe"_s} << 0 << QStringList{};
    QTest::newRow("a text step first")
        << QStringList{u"text:readme.txt"_s, u"image:a.png"_s} << 0 << QStringList{};
    QTest::newRow("a message between pictures")
        << QStringList{u"image:a.png"_s, u"message:"_s, u"image:b.png"_s} << 0 << QStringList{};
    QTest::newRow("the list is not emptied first")
        << QStringList{u"image:a.png"_s} << 1 << QStringList{u"old.png"_s, u"a.png"_s};
    QTest::newRow("a non-picture step clears what was there")
        << QStringList{u"run:setup.exe"_s} << 1 << QStringList{};
    QTest::newRow("no steps") << QStringList{} << 0 << QStringList{};
}

void TestPhotoForm::collectImageActions()
{
    QFETCH(QStringList, Steps);
    QFETCH(int, Before);
    QFETCH(QStringList, Expected);

    TItemAction Action;
    for (const QString& Written : Steps) {
        const QString Kind = Written.section(u':', 0, 0);
        const QString File = Written.section(u':', 1);
        TShellAction& Step = Action.ShellActions.Add();
        Step.OpenObject = File;
        if (!File.isEmpty() && !File.startsWith(u"missing"_s))
            WritePicture(File, QSize(4, 4), 0xFFFF0000);
        if (Kind == u"image"_s) {
            Step.ShellActionType = atOpenObject;
            Step.ObjectType = otImage;
        } else if (Kind == u"text"_s) {
            Step.ShellActionType = atOpenObject;
            Step.ObjectType = otText;
        } else if (Kind == u"run"_s) {
            Step.ShellActionType = atExecute;
            Step.ObjectType = otExecutable;
        } else {
            Step.ShellActionType = atShowMessage;
        }
    }
    TShellActions List;
    for (int I = 0; I < Before; ++I)
        List.Add().OpenObject = u"old.png"_s;
    CollectImageActions(Action, List);
    QStringList Got;
    for (int I = 0; I < List.Count(); ++I)
        Got.append(List.Items(I).OpenObject);
    QCOMPARE(Got, Expected);
    // The entries are copies with the step's kind.
    for (int I = Before; I < List.Count(); ++I) {
        QCOMPARE(List.Items(I).ShellActionType, atOpenObject);
        QCOMPARE(List.Items(I).ObjectType, otImage);
    }
}

QTEST_MAIN(TestPhotoForm)
#include "tst_photoform.moc"
