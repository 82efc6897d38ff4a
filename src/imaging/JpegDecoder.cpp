#include "JpegDecoder.h"

#include "ImageLimits.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>
// The message codes (JWRN_JPEG_EOF) come with the error header.
#include <jerror.h>

namespace {

// Everything that must outlive a longjmp lives here, outside the frame that calls setjmp.
struct TJpegContext
{
    jpeg_decompress_struct Info{};
    jpeg_error_mgr ErrorManager{};
    jpeg_progress_mgr Progress{};
    std::jmp_buf Jump{};
    QByteArrayView Data;
    TJpegOptions Options;
    bool HeaderOnly = false;
    bool HeaderRead = false; // the header up to the first scan is whole
    int MaxScans = 0;
    char Message[JMSG_LENGTH_MAX + 32] = {};
    QString Refusal; // a reason found by our own checks
    QSize Size;
    QImage Image;
    QByteArray Row;
};

TJpegContext* ContextOf(j_common_ptr Info)
{
    return static_cast<TJpegContext*>(Info->client_data);
}

void OnErrorExit(j_common_ptr Info)
{
    TJpegContext* C = ContextOf(Info);
    (*Info->err->format_message)(Info, C->Message);
    std::longjmp(C->Jump, 1);
}

// Warnings leave a picture: corrupt entropy data shows as libjpeg decoded it, and data that ends
// inside the scans (a file cut short, or one that lacks only its end marker) shows the rows decoded,
// the rest filled grey by libjpeg. Only a file that ends before its header is whole is an error.
void OnMessage(j_common_ptr Info, int Level)
{
    TJpegContext* C = ContextOf(Info);
    if (Level < 0 && Info->err->msg_code == JWRN_JPEG_EOF && !C->HeaderRead) {
        std::snprintf(C->Message, sizeof C->Message, "data ends early");
        std::longjmp(C->Jump, 1);
    }
}

void OnOutputMessage(j_common_ptr) {}

void OnProgress(j_common_ptr Info)
{
    TJpegContext* C = ContextOf(Info);
    if (Info->is_decompressor) {
        const auto* D = reinterpret_cast<j_decompress_ptr>(Info);
        if (D->input_scan_number > C->MaxScans) {
            std::snprintf(C->Message, sizeof C->Message, "more than %d scans", C->MaxScans);
            std::longjmp(C->Jump, 1);
        }
    }
}

inline uchar Mul255(uint A, uint B)
{
    return uchar((A * B + 127) / 255);
}

// Where libjpeg should see a JPEG end. A file cut inside a marker segment (the tables between the
// scans of a progressive picture, or a scan's header) ends at that segment's start: libjpeg would read
// the end-of-image marker it puts in place of missing bytes as table data and give up, where cut at the
// segment it shows the scans before. A file that ends with its end marker is taken whole unread.
qsizetype WholeSegmentsEnd(QByteArrayView Data)
{
    const auto* B = reinterpret_cast<const uchar*>(Data.data());
    const qsizetype N = Data.size();
    if (N >= 2 && B[N - 2] == 0xFF && B[N - 1] == 0xD9)
        return N;
    qsizetype Pos = 2; // after the start-of-image marker
    while (Pos < N) {
        // Entropy-coded data up to the next 0xFF.
        const void* Next = std::memchr(B + Pos, 0xFF, size_t(N - Pos));
        if (!Next)
            return N;
        const qsizetype Marker = static_cast<const uchar*>(Next) - B;
        qsizetype Code = Marker + 1;
        while (Code < N && B[Code] == 0xFF) // fill bytes
            ++Code;
        if (Code >= N)
            return N;
        const uchar C = B[Code];
        // A stuffed zero, a restart marker or another marker without a length.
        if (C == 0x00 || (C >= 0xD0 && C <= 0xD8) || C == 0x01) {
            Pos = Code + 1;
            continue;
        }
        if (C == 0xD9)
            return N;
        if (N - Code < 3)
            return Marker;
        const qsizetype Length = (qsizetype(B[Code + 1]) << 8) | B[Code + 2];
        if (Length > N - Code - 1)
            return Marker;
        Pos = Code + 1 + qMax<qsizetype>(Length, 2);
    }
    return N;
}

// Runs libjpeg. Only trivially destructible locals here: a longjmp may leave this frame at any
// libjpeg call.
bool RunJpeg(TJpegContext& C)
{
    j_decompress_ptr D = &C.Info;
    D->err = jpeg_std_error(&C.ErrorManager);
    C.ErrorManager.error_exit = OnErrorExit;
    C.ErrorManager.emit_message = OnMessage;
    C.ErrorManager.output_message = OnOutputMessage;
    if (setjmp(C.Jump)) {
        jpeg_destroy_decompress(D);
        return false;
    }
    jpeg_create_decompress(D);
    D->client_data = &C;
    const TImageLimits& L = ImageLimits();
    C.MaxScans = L.MaxJpegScans;
    C.Progress.progress_monitor = OnProgress;
    D->progress = &C.Progress;
    // No more working memory than a few times the largest picture needs.
    D->mem->max_memory_to_use = long(qMin<qint64>(L.MaxPixels * 8 + 64 * 1024 * 1024, 0x7FFFFFFF));
    jpeg_mem_src(D, reinterpret_cast<const unsigned char*>(C.Data.data()),
                 static_cast<unsigned long>(WholeSegmentsEnd(C.Data)));
    jpeg_read_header(D, TRUE);
    C.HeaderRead = true;
    C.Size = QSize(int(qMin<JDIMENSION>(D->image_width, 0x7FFFFFFF)),
                   int(qMin<JDIMENSION>(D->image_height, 0x7FFFFFFF)));
    if (C.HeaderOnly) {
        jpeg_destroy_decompress(D);
        return true;
    }
    C.Refusal = CheckImageSize(D->image_width, D->image_height);
    if (!C.Refusal.isEmpty()) {
        jpeg_destroy_decompress(D);
        return false;
    }
    const bool Cmyk = D->jpeg_color_space == JCS_CMYK || D->jpeg_color_space == JCS_YCCK;
    // libjpeg-turbo writes 0xAARRGGBB words straight into the picture's rows (alpha 0xFF), which
    // spares converting every row.
#if defined(JCS_ALPHA_EXTENSIONS) && Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    const bool Direct = !Cmyk;
    D->out_color_space = Cmyk ? JCS_CMYK : JCS_EXT_BGRA;
#else
    const bool Direct = false;
    D->out_color_space = Cmyk ? JCS_CMYK : JCS_RGB;
#endif
    D->scale_num = 1;
    D->scale_denom = uint(C.Options.ScaleDenominator);
    if (C.Options.Fast) {
        D->dct_method = JDCT_IFAST;
        D->do_fancy_upsampling = FALSE;
    }
    jpeg_calc_output_dimensions(D);
    const int Components = D->output_components;
    if (Components != (Cmyk || Direct ? 4 : 3)) {
        std::snprintf(C.Message, sizeof C.Message, "unexpected %d output components", Components);
        jpeg_destroy_decompress(D);
        return false;
    }
    jpeg_start_decompress(D);
    const int W = int(D->output_width), H = int(D->output_height);
    C.Image = QImage(W, H, QImage::Format_RGB32);
    C.Row.resize(qsizetype(W) * Components);
    if (C.Image.isNull() || C.Row.size() != qsizetype(W) * Components) {
        std::snprintf(C.Message, sizeof C.Message, "not enough memory for the picture");
        jpeg_destroy_decompress(D);
        return false;
    }
    // Adobe's CMYK files store the inks inverted; that is what the marker says.
    const bool Inverted = D->saw_Adobe_marker;
    while (D->output_scanline < D->output_height) {
        const int Y = int(D->output_scanline);
        auto* Out = reinterpret_cast<QRgb*>(C.Image.scanLine(Y));
        JSAMPROW Rows[1] = {Direct ? reinterpret_cast<JSAMPROW>(Out)
                                   : reinterpret_cast<JSAMPROW>(C.Row.data())};
        if (jpeg_read_scanlines(D, Rows, 1) != 1) {
            std::snprintf(C.Message, sizeof C.Message, "data ends early");
            jpeg_destroy_decompress(D);
            return false;
        }
        const auto* S = reinterpret_cast<const uchar*>(C.Row.constData());
        if (Direct) {
            continue;
        }
        if (Cmyk) {
            for (int X = 0; X < W; ++X, S += 4) {
                uint Cy = S[0], M = S[1], Ye = S[2], K = S[3];
                if (!Inverted) {
                    Cy = 255 - Cy, M = 255 - M, Ye = 255 - Ye, K = 255 - K;
                }
                Out[X] = qRgb(Mul255(Cy, K), Mul255(M, K), Mul255(Ye, K));
            }
        } else {
            for (int X = 0; X < W; ++X, S += 3)
                Out[X] = qRgb(S[0], S[1], S[2]);
        }
    }
    jpeg_finish_decompress(D);
    jpeg_destroy_decompress(D);
    return true;
}

} // namespace

bool ReadJpegSize(QByteArrayView Data, QSize& Size, QString& Error)
{
    TJpegContext C;
    C.Data = Data;
    C.HeaderOnly = true;
    if (!RunJpeg(C)) {
        Error = QString::fromLatin1(C.Message);
        return false;
    }
    Size = C.Size;
    return true;
}

bool DecodeJpeg(QByteArrayView Data, QImage& Out, QString& Error, const TJpegOptions& Options)
{
    const int Denominator = Options.ScaleDenominator;
    if (Denominator != 1 && Denominator != 2 && Denominator != 4 && Denominator != 8) {
        Error = QStringLiteral("scale 1/%1 is not one of 1, 1/2, 1/4, 1/8").arg(Denominator);
        return false;
    }
    TJpegContext C;
    C.Data = Data;
    C.Options = Options;
    if (!RunJpeg(C)) {
        Error = !C.Refusal.isEmpty() ? C.Refusal : QString::fromLatin1(C.Message);
        return false;
    }
    Out = std::move(C.Image);
    return true;
}

int JpegScaleFor(QSize PictureSize, QSize MinSize)
{
    for (int Denominator : {8, 4, 2}) {
        // libjpeg rounds a scaled size up.
        const qint64 W = (qint64(PictureSize.width()) + Denominator - 1) / Denominator;
        const qint64 H = (qint64(PictureSize.height()) + Denominator - 1) / Denominator;
        if (W >= MinSize.width() && H >= MinSize.height())
            return Denominator;
    }
    return 1;
}
