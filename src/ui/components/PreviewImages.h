#pragma once

#include <QImage>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

// Makes the thumbnail of a picture file for a Width x Height box into Bitmap, as MakeThumbnail of the
// picture layer does (the default); false with the reason in Error. Runs on worker threads.
using TThumbnailMaker = std::function<bool(const QString& FileName, int Width, int Height, bool GoodQuality,
                                           QImage& Bitmap, QString* Error)>;

// One preview of a thumbnail strip: the ready thumbnail of a picture file and where it goes.
class TPreviewImage
{
public:
    QImage Bitmap;    // the thumbnail (RGB32), sized by MakeThumbnail; null while it is being made
    QString FileName; // the picture file
    QRect ImageRect;  // where Bitmap is drawn, in unscrolled control coordinates
    QRect FrameRect;  // the preview's cell for the frame and for hit testing, unscrolled

    // Builds Bitmap from FileName for a Width x Height box (with Maker, MakeThumbnail of the picture
    // layer when it is empty). A missing file leaves a black bitmap of the box's size; a file that
    // cannot be read leaves that black bitmap and returns false with the loader's message in Error; a
    // filtered thumbnail with no pixels returns false with "Source graphics is too small".
    bool MakeThumbnail(int Width, int Height, bool GoodQuality, QString* Error = nullptr,
                       const TThumbnailMaker& Maker = {});
};

// The previews of a strip, in order; the collection owns them.
class TPreviewImages
{
public:
    using TClearEvent = std::function<void(TPreviewImages* Sender)>;

    TPreviewImages() = default;
    TPreviewImages(const TPreviewImages&) = delete;
    TPreviewImages& operator=(const TPreviewImages&) = delete;

    int Count() const { return int(FItems.size()); }
    TPreviewImage& Items(int Index) { return *FItems[size_t(Index)]; }
    const TPreviewImage& Items(int Index) const { return *FItems[size_t(Index)]; }
    TPreviewImage& operator[](int Index) { return Items(Index); }
    const TPreviewImage& operator[](int Index) const { return Items(Index); }

    // Appends an empty preview.
    TPreviewImage& Add();
    // Removes every preview, then calls OnClear.
    void Clear();

    // Adds a preview of FileName and builds its thumbnail. Returns the new preview's index; when the
    // picture cannot be read the preview stays (black) and Error gets the reason.
    int AddPreview(const QString& FileName, int Width, bool GoodQuality, int Height,
                   QString* Error = nullptr);

    // The same for several files, their thumbnails built on all cores. The result is that of calling
    // AddPreview for each file in order and stopping at the first failure: the failing file's preview
    // is added, the files after it are not. Returns false with that failure's reason.
    bool AddPreviews(const QStringList& FileNames, int Width, bool GoodQuality, int Height,
                     QString* Error = nullptr);

    // Builds every thumbnail again (on all cores). Previews whose picture cannot be read stay black;
    // the first failure's reason goes to Error.
    bool MakeThumbnails(int Width, int Height, bool GoodQuality, QString* Error = nullptr);

    TClearEvent OnClear;
    // What builds the thumbnails; empty: MakeThumbnail of the picture layer.
    TThumbnailMaker Maker;

private:
    std::vector<std::unique_ptr<TPreviewImage>> FItems;
};

// Runs Work(0) .. Work(Count - 1) on up to as many threads as the machine has cores (the calling
// thread takes part) and returns when all are done. Work must not touch widgets.
void ParallelFor(int Count, const std::function<void(int Index)>& Work);
