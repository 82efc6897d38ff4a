#include "PreviewImages.h"

#include "Thumbnail.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>

bool TPreviewImage::MakeThumbnail(int Width, int Height, bool GoodQuality, QString* Error,
                                  const TThumbnailMaker& Maker)
{
    if (Maker) {
        return Maker(FileName, Width, Height, GoodQuality, Bitmap, Error);
    }
    return ::MakeThumbnail(FileName, Width, Height, GoodQuality, Bitmap, Error);
}

TPreviewImage& TPreviewImages::Add()
{
    FItems.push_back(std::make_unique<TPreviewImage>());
    return *FItems.back();
}

void TPreviewImages::Clear()
{
    FItems.clear();
    if (OnClear) {
        OnClear(this);
    }
}

int TPreviewImages::AddPreview(const QString& FileName, int Width, bool GoodQuality, int Height,
                               QString* Error)
{
    TPreviewImage& Item = Add();
    Item.FileName = FileName;
    if (Error) {
        Error->clear();
    }
    Item.MakeThumbnail(Width, Height, GoodQuality, Error, Maker);
    return Count() - 1;
}

bool TPreviewImages::AddPreviews(const QStringList& FileNames, int Width, bool GoodQuality, int Height,
                                 QString* Error)
{
    if (Error) {
        Error->clear();
    }
    const int N = int(FileNames.size());
    std::vector<TPreviewImage> Built(size_t(N > 0 ? N : 0));
    std::vector<QString> Reasons(Built.size());
    // Once a file has failed, later files are not added; work not yet started on them is skipped.
    std::atomic<int> FirstFailure{N};
    ParallelFor(N, [&](int I) {
        if (I > FirstFailure.load()) {
            return;
        }
        TPreviewImage& Item = Built[size_t(I)];
        Item.FileName = FileNames[I];
        if (!Item.MakeThumbnail(Width, Height, GoodQuality, &Reasons[size_t(I)], Maker)) {
            int Seen = FirstFailure.load();
            while (I < Seen && !FirstFailure.compare_exchange_weak(Seen, I)) {
            }
        }
    });
    const int Last = std::min(FirstFailure.load(), N - 1);
    for (int I = 0; I <= Last; ++I) {
        FItems.push_back(std::make_unique<TPreviewImage>(std::move(Built[size_t(I)])));
    }
    if (FirstFailure.load() < N) {
        if (Error) {
            *Error = Reasons[size_t(FirstFailure.load())];
        }
        return false;
    }
    return true;
}

bool TPreviewImages::MakeThumbnails(int Width, int Height, bool GoodQuality, QString* Error)
{
    const int N = Count();
    std::vector<QString> Reasons(size_t(N > 0 ? N : 0));
    std::vector<char> Ok(Reasons.size(), 1);
    ParallelFor(N, [&](int I) {
        Ok[size_t(I)] =
            FItems[size_t(I)]->MakeThumbnail(Width, Height, GoodQuality, &Reasons[size_t(I)], Maker) ? 1 : 0;
    });
    for (int I = 0; I < N; ++I) {
        if (!Ok[size_t(I)]) {
            if (Error) {
                *Error = Reasons[size_t(I)];
            }
            return false;
        }
    }
    return true;
}

void ParallelFor(int Count, const std::function<void(int Index)>& Work)
{
    if (Count <= 0) {
        return;
    }
    const int Cores = int(std::max(1u, std::thread::hardware_concurrency()));
    const int Threads = std::min(Cores, Count);
    if (Threads == 1) {
        for (int I = 0; I < Count; ++I) {
            Work(I);
        }
        return;
    }
    std::atomic<int> Next{0};
    auto Run = [&] {
        for (int I = Next++; I < Count; I = Next++) {
            Work(I);
        }
    };
    std::vector<std::thread> Pool;
    Pool.reserve(size_t(Threads - 1));
    try {
        for (int T = 1; T < Threads; ++T) {
            Pool.emplace_back(Run);
        }
    } catch (const std::system_error&) {
        // No more threads to be had: the ones started and this one do the work.
    }
    Run();
    for (std::thread& T : Pool) {
        T.join();
    }
}
