// Fuzzes the component stream reader with both roots a disc can carry.
//
// The first byte chooses the root, the rest is the stream:
// - even: a TVeltraneProject, as the body of a structure file after its 16-byte header;
// - odd: a Legacy::TVeltrane, as a whole legacy file, then converted into a TVeltraneProject.
//
// Besides not crashing, whatever was read (also after a read error: the properties applied so far
// stay) must survive copying with Assign, and whatever the writer accepts must read back, with
// writing and reading a fixed point from then on, since the project tool relies on that round trip.

#include "model/ComponentReader.h"
#include "model/ComponentWriter.h"
#include "model/LegacyModel.h"
#include "model/Project.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void Fail(const char* What, const QString& Detail)
{
    std::fprintf(stderr, "fuzz_componentstream: %s: %s\n", What, Detail.toLocal8Bit().constData());
    std::abort();
}

// Set AUTORUN_FUZZ_STRICT_ROUNDTRIP=1 to also require that the first write loses nothing. Off by
// default because a project read from a stream can hold states that no stream written the design
// tool's way expresses: an empty string list where the constructor puts a line (the writer leaves
// empty lists out, so reading gives the constructor's line back).
bool StrictRoundTrip()
{
    static const bool Strict = qEnvironmentVariableIntValue("AUTORUN_FUZZ_STRICT_ROUNDTRIP") != 0;
    return Strict;
}

// Writes Root; when the writer accepts it, the bytes must read into a fresh Root without error, and
// from then on writing and reading must be a fixed point.
template <class TRoot> void CheckRoundTrip(const TRoot& Root)
{
    QByteArray Previous;
    if (!WriteComponent(Root, Previous))
        return; // e.g. a text that Windows-1251 cannot hold: refused, not mangled
    for (int Pass = 0; Pass < 2; ++Pass) {
        TRoot Again;
        const TStreamReadResult R = ReadComponent(Previous, Again);
        if (!R.Ok)
            Fail("written stream does not read back", R.Error);
        QByteArray Next;
        QString Error;
        if (!WriteComponent(Again, Next, &Error))
            Fail("stream read back from the writer's output cannot be written", Error);
        if (Next != Previous && (Pass > 0 || StrictRoundTrip()))
            Fail("writing the read-back stream gives other bytes",
                 QString::fromLatin1(Previous.toHex()) + u" / " + QString::fromLatin1(Next.toHex()));
        Previous = Next;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size < 1)
        return 0;
    const QByteArrayView Stream(Data + 1, qsizetype(Size - 1));

    if ((Data[0] & 1) == 0) {
        TVeltraneProject Project;
        ReadComponent(Stream, Project);
        TVeltraneProject Copy;
        Copy.Assign(Project);
        CheckRoundTrip(Project);
    } else {
        Legacy::TVeltrane Old;
        ReadComponent(Stream, Old);
        CheckRoundTrip(Old);
        TVeltraneProject Project;
        Project.ConvertLegacy(Old);
        CheckRoundTrip(Project);
    }
    return 0;
}
