// The main window on discs unlike the demo disc: a text font of size 0, automatic playback on a music
// item with several actions, and screenshot galleries, whose pictures are read once each and off the
// user-interface thread while the window goes on.

#include "MainFormFixture.h"

#include "CategoryChooser.h"
#include "MusicPlayer.h"
#include "Thumbnail.h"
#include "Thumbnails.h"
#include "VeltraneImage.h"
#include "VeltraneText.h"

#include <QHash>
#include <QMutex>
#include <QScopeGuard>
#include <QSemaphore>
#include <QThread>

#include <atomic>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

class TRealDisc : public TMainFixture
{
public:
    TRealDisc()
    {
        WriteButtons();
        TVeltraneProject P;
        TSection& Music = AddSection(P, u"Music"_s, u"Songs"_s);
        TItem& Tunes = AddItem(Music, u"Tunes"_s, u"Two ways to listen"_s);
        AddAction(Tunes, otMusic, {u"Music\\a.mp3"_s}).Description = u"Listen"_s;
        AddAction(Tunes, otMusic, {u"Music\\b.mp3"_s}).Description = u"Listen again"_s;
        TSection& Shots = AddSection(P, u"Shots"_s, u"Pictures"_s);
        AddItem(Shots, u"Described"_s, u"Words only"_s);
        AddScreenshots(AddItem(Shots, u"Shots only"_s).Screenshots,
                       {u"Pics\\1.bmp"_s, u"Pics\\2.bmp"_s, u"Pics\\3.bmp"_s});
        AddScreenshots(AddItem(Shots, u"Shots and words"_s, u"Both"_s).Screenshots, {u"Pics\\2.bmp"_s});
        AddScreenshots(AddSection(P, u"Shots section"_s).Screenshots, {u"Pics\\3.bmp"_s, u"Pics\\1.bmp"_s});
        SaveProject(P);
        WriteImage(u"Pics/1.bmp"_s, QSize(300, 200), Qt::red);
        WriteImage(u"Pics/2.bmp"_s, QSize(300, 200), Qt::green);
        WriteImage(u"Pics/3.bmp"_s, QSize(300, 200), Qt::blue);
    }

    QString Picture(int N) const { return ProgramFolder + u"Pics\\%1.bmp"_s.arg(N); }
};

// Counts the thumbnails a gallery makes, per file, and whether any was made on the user-interface
// thread.
struct TMadeCounter
{
    QMutex Lock;
    QHash<QString, int> Made;
    std::atomic<bool> OnUiThread{false};

    void Attach(TThumbnails& Gallery)
    {
        Gallery.SetThumbnailMaker([this](const QString& FileName, int Width, int Height, bool Good,
                                         QImage& Bitmap, QString* Error) {
            if (QThread::currentThread() == qApp->thread()) {
                OnUiThread = true;
            }
            {
                const QMutexLocker Locker(&Lock);
                ++Made[FileName];
            }
            return MakeThumbnail(FileName, Width, Height, Good, Bitmap, Error);
        });
    }

    QHash<QString, int> Take()
    {
        const QMutexLocker Locker(&Lock);
        return std::exchange(Made, {});
    }
};

} // namespace

class TestMainRealDiscs : public QObject
{
    Q_OBJECT

private slots:
    void fontSizeZeroIsTheDefaultSize_data();
    void fontSizeZeroIsTheDefaultSize();
    void firstPlayPressRunsAnItemWithSeveralActions();
    void screenshotsAreReadOnceEach_data();
    void screenshotsAreReadOnceEach();
    void galleryShowsEachPictureAsItComes();
};

void TestMainRealDiscs::fontSizeZeroIsTheDefaultSize_data()
{
    QTest::addColumn<int>("TextFontSize");
    QTest::addColumn<QByteArray>("Controls");
    QTest::newRow("shell.ini TextFontSize=0") << 0 << QByteArray();
    QTest::newRow("controls.ini Font.Size=0") << 12 << QByteArray("[TextField]\nFont.Size=0\n");
    QTest::newRow("controls.ini Font.Height=0") << 12 << QByteArray("[TextField]\nFont.Height=0\n");
}

void TestMainRealDiscs::fontSizeZeroIsTheDefaultSize()
{
    QFETCH(int, TextFontSize);
    QFETCH(QByteArray, Controls);
    TRealDisc Disc;
    DesignSettings.Options.TextFontSize = TextFontSize;
    if (!Controls.isEmpty()) {
        Disc.WriteFile(u"Shell/controls.ini"_s, Controls);
    }
    auto F = Disc.Create();
    // The text is drawn as large as a font that was never given a size.
    TFont Default;
    QCOMPARE(F->TextField->Font()->Height(), 0);
    QCOMPARE(F->TextField->font().pixelSize(), Default.ToQFont().pixelSize());
    QVERIFY(F->TextField->LineHeight() > 8);
    Select(*F, FindNode(*F, u"Described"_s));
    QCOMPARE(F->TextField->Lines(), QStringList{u"Words only"_s});
}

void TestMainRealDiscs::firstPlayPressRunsAnItemWithSeveralActions()
{
    TRealDisc Disc;
    Disc.WriteFile(u"Music/a.mp3"_s, "x");
    DesignSettings.Options.AutoPlayback = true;
    auto F = Disc.Create();
    int Runs = 0;
    CountRuns(*F, Runs);
    F->show();
    QVERIFY(QTest::qWaitForWindowExposed(F.get()));
    Select(*F, FindNode(*F, u"Tunes"_s));
    // Several actions: nothing plays by itself, and the item's music is not on.
    QCOMPARE(Runs, 0);
    QVERIFY(!F->Music().ItemMusicOn());
    QVERIFY(F->Btn9->isVisible());
    QVERIFY(F->Btn9->Enabled());
    // The first press opens the action chooser.
    QTest::mouseClick(F->Btn9, Qt::LeftButton, {}, F->Btn9->rect().center());
    QCOMPARE(Runs, 1);
    QVERIFY(F->Music().ItemMusicOn());
    // The second stops the music; the third runs the item again.
    QTest::mouseClick(F->Btn9, Qt::LeftButton, {}, F->Btn9->rect().center());
    QCOMPARE(Runs, 1);
    QVERIFY(!F->Music().ItemMusicOn());
    QTest::mouseClick(F->Btn9, Qt::LeftButton, {}, F->Btn9->rect().center());
    QCOMPARE(Runs, 2);
}

void TestMainRealDiscs::screenshotsAreReadOnceEach_data()
{
    QTest::addColumn<QString>("Before");
    QTest::addColumn<QString>("Node");
    QTest::addColumn<QList<int>>("Pictures");
    // The tab strip moves to "Screenshots" by itself.
    QTest::newRow("item, from the description tab") << u"Described"_s << u"Shots only"_s << QList<int>{1, 2, 3};
    QTest::newRow("section, from the description tab")
        << u"Described"_s << u"Shots section"_s << QList<int>{3, 1};
    // The screenshots tab was chosen already.
    QTest::newRow("item, from the screenshots tab") << u"Shots section"_s << u"Shots only"_s << QList<int>{1, 2, 3};
    QTest::newRow("section, from the screenshots tab")
        << u"Shots only"_s << u"Shots section"_s << QList<int>{3, 1};
}

void TestMainRealDiscs::screenshotsAreReadOnceEach()
{
    QFETCH(QString, Before);
    QFETCH(QString, Node);
    QFETCH(QList<int>, Pictures);
    TRealDisc Disc;
    auto F = Disc.Create();
    TMadeCounter Counter;
    Counter.Attach(*F->ScreenshotsGallery);
    Select(*F, FindNode(*F, Before));
    QTRY_COMPARE(F->ScreenshotsGallery->PendingImages(), 0);
    Counter.Take();

    Select(*F, FindNode(*F, Node));
    QCOMPARE(F->Tabs->SelectedCat(), 1);
    QVERIFY(F->ScreenshotsGallery->Visible());
    QTRY_COMPARE(F->ScreenshotsGallery->PendingImages(), 0);
    QHash<QString, int> Expected;
    for (int N : Pictures) {
        Expected.insert(Disc.Picture(N), 1);
    }
    QCOMPARE(Counter.Take(), Expected);
    QVERIFY(!Counter.OnUiThread);
    const TPreviewImages& Previews = F->ScreenshotsGallery->Previews();
    QCOMPARE(Previews.Count(), int(Pictures.size()));
    for (int I = 0; I < Previews.Count(); ++I) {
        QCOMPARE(Previews[I].FileName, Disc.Picture(Pictures[I]));
        QCOMPARE(Previews[I].Bitmap.size(), QSize(187, 125));
    }
}

void TestMainRealDiscs::galleryShowsEachPictureAsItComes()
{
    // The second picture is held back until the first is on screen: selecting returns at once, the
    // first thumbnail is painted, and the window goes on handling events meanwhile.
    TRealDisc Disc;
    auto F = Disc.Create();
    F->show();
    QVERIFY(QTest::qWaitForWindowExposed(F.get()));
    QSemaphore Release;
    std::atomic<bool> Waited{false};
    const QString Held = Disc.Picture(2);
    F->ScreenshotsGallery->SetThumbnailMaker([&](const QString& FileName, int Width, int Height, bool Good,
                                                 QImage& Bitmap, QString* Error) {
        // Bounded, so that a gallery that waits for its pictures fails instead of hanging.
        if (FileName == Held) {
            Waited = Release.tryAcquire(1, 20000);
        }
        return MakeThumbnail(FileName, Width, Height, Good, Bitmap, Error);
    });
    // A failed check must not leave the worker waiting.
    auto ReleaseAtEnd = qScopeGuard([&Release] { Release.release(); });
    QList<int> Ready;
    F->ScreenshotsGallery->OnThumbnailReady = [&Ready](QObject*, int Index) { Ready.append(Index); };

    Select(*F, FindNode(*F, u"Shots only"_s));
    QCOMPARE(F->ScreenshotsGallery->Previews().Count(), 3);
    QTRY_VERIFY(Ready.contains(0));
    QVERIFY(!Ready.contains(1));
    QVERIFY(F->ScreenshotsGallery->Previews()[1].Bitmap.isNull());
    // Painted as it is: the first picture's red inside its cell.
    const QImage Shown = F->ScreenshotsGallery->grab().toImage();
    const TPreviewImage& First = F->ScreenshotsGallery->Previews()[0];
    const QColor Red = First.Bitmap.pixelColor(10, 10);
    QVERIFY(Red.red() > 240 && Red.green() < 16 && Red.blue() < 16);
    QCOMPARE(Shown.pixelColor(First.ImageRect.topLeft() + QPoint(10, 10)), Red);
    // The window answers meanwhile: another tab can be chosen and chosen back.
    F->Tabs->SetSelectedCat(0);
    QVERIFY(F->TextField->Visible());
    F->Tabs->SetSelectedCat(1);
    Release.release();
    QTRY_COMPARE(F->ScreenshotsGallery->PendingImages(), 0);
    QVERIFY(Waited);
    QCOMPARE(Ready.size(), 3);
    QVERIFY(F->ScreenshotsGallery->Previews()[1].Bitmap.pixelColor(10, 10).green() > 240);
}

QTEST_MAIN(TestMainRealDiscs)
#include "tst_mainrealdiscs.moc"
