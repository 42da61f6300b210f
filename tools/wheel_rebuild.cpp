// Rebuilds the wheeling matrices shipped with the program: every design the wheel window can
// ask for (t <= 7, b <= 21, k <= c <= 8, k <= t < b) of at most --limit tickets, and every
// design of the reference table below whatever its size. Each design is generated from a seed
// fixed by its parameters and a fixed move budget, so the set is reproducible; each is verified
// exhaustively before it is written. A reference design that annealing leaves above its
// reference size is also searched by row weighting, and the smaller design is kept. The
// manifest records, per design, the seed, the moves (or steps), the size, whether it is shipped,
// and the method: "annealing", "weighting", or "annealing-best" when row weighting was tried
// and found nothing smaller; "annealing" means row weighting has not been tried on it (or is not
// worth it there). A rerun skips every design whose manifest line and file are already
// in order, so the rebuild can be stopped and resumed at any time.
//
//   wheel-rebuild [--out DIR] [--manifest FILE] [--limit N] [--only B,T,C,K] [--report]
#include "common/errors.h"
#include "data/combination.h"
#include "tickets/wheel_design.h"
#include "tickets/wheel_matrix.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSaveFile>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace lumaro;

namespace {

// Sizes to meet or beat: proven, published or reached by long annealing runs elsewhere.
struct Reference {
    int b, t, c, k, size;
};
const Reference kReferences[] = {
    {6, 5, 4, 4, 5},
    {7, 5, 4, 4, 9},
    {8, 5, 4, 4, 20},
    {9, 5, 4, 4, 30},
    {10, 5, 4, 4, 51},
    {11, 5, 4, 4, 66},
    {12, 5, 4, 4, 113},
    {13, 5, 4, 4, 158},
    {14, 5, 4, 4, 233},
    {16, 5, 4, 4, 419},
    {18, 5, 4, 4, 701},
    {20, 5, 4, 4, 1108},
    {21, 5, 4, 4, 1369},
    {7, 6, 5, 5, 6},
    {8, 6, 5, 5, 12},
    {9, 6, 5, 5, 30},
    {10, 6, 5, 5, 50},
    {11, 6, 5, 5, 100},
    {12, 6, 5, 5, 132},
    {13, 6, 5, 5, 245},
    {14, 6, 5, 5, 400},
    {16, 6, 5, 5, 888},
    {18, 6, 5, 5, 1765},
    {8, 7, 6, 6, 7},
    {9, 7, 6, 6, 16},
    {10, 7, 6, 6, 45},
    {11, 7, 6, 6, 84},
    {12, 7, 6, 6, 176},
    {13, 7, 6, 6, 264},
    {14, 7, 6, 6, 553},
    {16, 7, 6, 6, 1513},
    {17, 5, 3, 3, 68},
    {21, 5, 2, 2, 21},
    {10, 5, 5, 4, 14},
    {11, 5, 5, 4, 22},
    {12, 5, 5, 4, 35},
    {13, 5, 5, 4, 50},
    {14, 5, 5, 4, 69},
    {16, 5, 5, 4, 153},
    {18, 5, 5, 4, 268},
    {20, 5, 5, 4, 444},
    {21, 5, 5, 4, 564},
    {10, 5, 5, 3, 2},
    {12, 5, 5, 3, 6},
    {14, 5, 5, 3, 10},
    {16, 5, 5, 3, 14},
    {18, 5, 5, 3, 22},
    {20, 5, 5, 3, 38},
    {21, 5, 5, 3, 46},
    {10, 6, 6, 5, 14},
    {12, 6, 6, 5, 39},
    {14, 6, 6, 5, 112},
    {16, 6, 6, 5, 259},
    {18, 6, 6, 5, 545},
    {20, 6, 6, 5, 1046},
    {21, 6, 6, 5, 1412},
    {10, 6, 6, 4, 3},
    {12, 6, 6, 4, 6},
    {14, 6, 6, 4, 15},
    {16, 6, 6, 4, 29},
    {18, 6, 6, 4, 51},
    {20, 6, 6, 4, 85},
    {21, 6, 6, 4, 105},
    {10, 6, 6, 3, 2},
    {12, 6, 6, 3, 2},
    {13, 6, 6, 3, 2},
    {14, 6, 6, 3, 4},
    {16, 6, 6, 3, 5},
    {17, 6, 6, 3, 7},
    {18, 6, 6, 3, 10},
    {19, 6, 6, 3, 12},
    {20, 6, 6, 3, 14},
    {21, 6, 6, 3, 15},
    {10, 6, 4, 4, 20},
    {12, 6, 4, 4, 41},
    {14, 6, 4, 4, 80},
    {16, 6, 4, 4, 175},
    {18, 6, 4, 4, 298},
    {20, 6, 4, 4, 472},
    {21, 6, 4, 4, 584},
    {10, 6, 5, 4, 7},
    {12, 6, 5, 4, 14},
    {14, 6, 5, 4, 32},
    {16, 6, 5, 4, 59},
    {18, 6, 5, 4, 105},
    {20, 6, 5, 4, 176},
    {21, 6, 5, 4, 223},
    {10, 7, 7, 6, 8},
    {12, 7, 7, 6, 35},
    {14, 7, 7, 6, 126},
    {16, 7, 7, 6, 363},
    {18, 7, 7, 6, 901},
    {20, 7, 7, 6, 2025},
    {21, 7, 7, 6, 2941},
    {10, 7, 7, 5, 3},
    {12, 7, 7, 5, 6},
    {14, 7, 7, 5, 17},
    {16, 7, 7, 5, 32},
    {18, 7, 7, 5, 79},
    {20, 7, 7, 5, 154},
    {21, 7, 7, 5, 202},
    {10, 7, 6, 5, 5},
    {12, 7, 6, 5, 16},
    {14, 7, 6, 5, 37},
    {16, 7, 6, 5, 95},
    {18, 7, 6, 5, 198},
    {20, 7, 6, 5, 372},
    {21, 7, 6, 5, 499},
};

int ReferenceSize(const WheelParams &p)
{
    for (const Reference &r : kReferences) {
        if (r.b == p.b && r.t == p.t && r.c == p.c && r.k == p.k)
            return r.size;
    }
    return 0;
}

// At most 5 % above the reference, and at most 2 tickets above it below 40 tickets.
int AllowedSize(int reference)
{
    if (reference <= 0)
        return 0;
    if (reference < 40)
        return reference + 2;
    return reference + reference / 20;
}

// Budgets grow fourfold with each attempt; reference designs get more attempts.
constexpr int kReferenceAttempts = 5;

std::uint64_t SeedOf(const WheelParams &p)
{
    return std::uint64_t(p.b) * 1'000'000 + std::uint64_t(p.t) * 10'000 + std::uint64_t(p.c) * 100 + std::uint64_t(p.k);
}

// Annealing moves granted per ticket of the greedy start, within a floor and a ceiling, and
// fewer where one move touches many draws (small k, large c - k).
qint64 MovesFor(const WheelParams &p, int greedySize, int attempt)
{
    const qint64 touched = Choose(p.t - 1, p.k - 1) * Choose(p.b - p.t - 1, p.c - p.k);
    qint64 moves = std::clamp<qint64>(qint64(greedySize) * 30'000, 500'000, 30'000'000);
    if (touched > 100)
        moves = std::max<qint64>(1'000, std::min(moves * 100 / touched, 30'000'000 / touched));
    return moves << (2 * attempt);
}

// Row-weighting steps per attempt: a step weighs the tickets through each uncovered draw and
// looks over the design once, so the budget shrinks with both; none where a step would weigh
// too many tickets to be worth it.
qint64 WeightingSteps(const WheelParams &p, int reference)
{
    const qint64 perDraw = WheelTicketsPerDraw(p);
    return perDraw > 400 ? 0 : 600'000'000 / (3 * perDraw + reference);
}

struct Entry {
    WheelParams p;
    std::uint64_t seed = 0;
    qint64 moves = 0;
    int size = 0;
    QString status; // "shipped" or "over"
    QString method; // empty: annealing, row weighting not tried
};

QString Key(const WheelParams &p)
{
    return QStringLiteral("%1,%2,%3,%4").arg(p.b).arg(p.t).arg(p.c).arg(p.k);
}

QMap<QString, Entry> ReadManifest(const QString &path)
{
    QMap<QString, Entry> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return entries;
    while (!file.atEnd()) {
        const QList<QByteArray> f = file.readLine().trimmed().split('\t');
        if (f.size() < 8 || f[0] == "b")
            continue;
        Entry e;
        e.p = WheelParams {f[0].toInt(), f[1].toInt(), f[2].toInt(), f[3].toInt()};
        e.seed = f[4].toULongLong();
        e.moves = f[5].toLongLong();
        e.size = f[6].toInt();
        e.status = QString::fromLatin1(f[7]);
        if (f.size() > 8)
            e.method = QString::fromLatin1(f[8]);
        entries.insert(Key(e.p), e);
    }
    return entries;
}

void WriteManifest(const QString &path, const QMap<QString, Entry> &entries)
{
    std::vector<Entry> sorted(entries.begin(), entries.end());
    std::sort(sorted.begin(), sorted.end(), [](const Entry &a, const Entry &b) {
        return std::tie(a.p.b, a.p.t, a.p.c, a.p.k) < std::tie(b.p.b, b.p.t, b.p.c, b.p.k);
    });
    QByteArray text = "b\tt\tc\tk\tseed\tmoves\tsize\tstatus\tmethod\n";
    for (const Entry &e : sorted) {
        text += QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\t%7\t%8\t%9\n")
                    .arg(e.p.b)
                    .arg(e.p.t)
                    .arg(e.p.c)
                    .arg(e.p.k)
                    .arg(e.seed)
                    .arg(e.moves)
                    .arg(e.size)
                    .arg(e.status)
                    .arg(e.method.isEmpty() ? QStringLiteral("annealing") : e.method)
                    .toLatin1();
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        throw IoError::cannotWrite(path, file.errorString());
}

// Every design the window can ask for: the reference designs of up to 600 tickets first, then
// the others by their lower bound, the largest reference designs last.
std::vector<WheelParams> AllDesigns()
{
    std::vector<WheelParams> designs;
    for (int b = 2; b <= kWheelMaxBase; ++b)
        for (int t = 1; t <= std::min(7, b - 1); ++t)
            for (int c = 1; c <= std::min(8, b); ++c)
                for (int k = 1; k <= std::min(c, t); ++k)
                    designs.push_back(WheelParams {b, t, c, k});
    auto order = [](const WheelParams &p) {
        const int reference = ReferenceSize(p);
        if (reference > 600)
            return std::pair(2, reference);
        if (reference > 0)
            return std::pair(0, reference);
        return std::pair(1, WheelSizeBounds(p).lower);
    };
    std::stable_sort(designs.begin(), designs.end(),
        [&](const WheelParams &x, const WheelParams &y) { return order(x) < order(y); });
    return designs;
}

bool FileInOrder(const QString &path, const Entry &e)
{
    if (!QFileInfo::exists(path))
        return false;
    try {
        const std::vector<WheelMask> tickets = ReadWheelMatrix(path, e.p);
        return int(tickets.size()) == e.size && VerifyWheel(e.p, tickets).holds;
    } catch (const Error &) {
        return false;
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    QString out = QStringLiteral("resources/home/旋转矩阵");
    QString manifestPath = QStringLiteral("tools/wheel_manifest.tsv");
    int limit = 500;
    QString only;
    bool report = false;
    for (int i = 1; i < args.size(); ++i) {
        const QString a = args[i];
        if (a == QLatin1String("--out") && i + 1 < args.size())
            out = args[++i];
        else if (a == QLatin1String("--manifest") && i + 1 < args.size())
            manifestPath = args[++i];
        else if (a == QLatin1String("--limit") && i + 1 < args.size())
            limit = args[++i].toInt();
        else if (a == QLatin1String("--only") && i + 1 < args.size())
            only = args[++i];
        else if (a == QLatin1String("--report"))
            report = true;
        else {
            std::fprintf(
                stderr, "usage: wheel-rebuild [--out DIR] [--manifest FILE] [--limit N] [--only B,T,C,K] [--report]\n");
            return 2;
        }
    }
    QDir().mkpath(out);
    QMap<QString, Entry> manifest = ReadManifest(manifestPath);
    QTextStream log(stdout);

    if (report) {
        // The reference designs against what is shipped.
        for (const Reference &r : kReferences) {
            const WheelParams p {r.b, r.t, r.c, r.k};
            const auto it = manifest.constFind(Key(p));
            const int ours = it == manifest.cend() ? 0 : it->size;
            const char *verdict = ours == 0   ? "missing"
                : ours < r.size               ? "better"
                : ours == r.size              ? "equal"
                : ours <= AllowedSize(r.size) ? "within"
                                              : "ABOVE";
            log << r.b << '\t' << r.t << '\t' << r.c << '\t' << r.k << '\t' << r.size << '\t' << ours << '\t' << verdict
                << '\n';
        }
        return 0;
    }

    // Row weighting on a reference design above its reference (a few seeds while the design is
    // above its margin, one otherwise), or on a design annealing left a little over the limit
    // (one seed); a smaller design replaces the file, or is shipped once within the limit.
    auto weigh = [&](Entry &e, const QString &path) {
        const int reference = ReferenceSize(e.p);
        const int attempts = reference > 0 && e.size > AllowedSize(reference) ? 3 : 1;
        bool improved = false;
        for (int attempt = 0; attempt < attempts && e.size > std::max(reference, WheelSizeBounds(e.p).lower);
             ++attempt) {
            QElapsedTimer timer;
            timer.start();
            WheelSearchOptions options;
            options.method = WheelMethod::RowWeighting;
            options.seed = SeedOf(e.p) + std::uint64_t(attempt);
            options.maxMoves = WeightingSteps(e.p, reference > 0 ? reference : e.size);
            options.targetSize = reference;
            const WheelSearchResult result = GenerateWheel(e.p, options);
            const int size = int(result.tickets.size());
            log << Key(e.p) << "\tweighting " << size << " against " << e.size << "\tref " << reference << "\tsteps "
                << options.maxMoves << "\t" << timer.elapsed() / 1000.0 << " s\n";
            log.flush();
            if (size == 0 || size >= e.size)
                continue;
            if (!VerifyWheel(e.p, result.tickets).holds) {
                std::fprintf(stderr, "design %s failed its check\n", qPrintable(Key(e.p)));
                std::exit(1);
            }
            if (reference > 0 || size <= limit) {
                WriteWheelMatrix(path, result.tickets);
                e.status = QStringLiteral("shipped");
            }
            e.size = size;
            e.seed = options.seed;
            e.moves = options.maxMoves;
            e.method = QStringLiteral("weighting");
            improved = true;
            if (reference > 0 && e.size <= AllowedSize(reference))
                break;
        }
        if (!improved)
            e.method = QStringLiteral("annealing-best");
    };

    int done = 0;
    auto weighKnown = [&](const Entry &known, const QString &path) {
        Entry e = known;
        weigh(e, path);
        manifest.insert(Key(e.p), e);
        WriteManifest(manifestPath, manifest);
        ++done;
    };
    auto annealedOnly = [](const Entry &e) { return e.method.isEmpty() || e.method == QLatin1String("annealing"); };

    for (const WheelParams &p : AllDesigns()) {
        if (!only.isEmpty() && Key(p) != only)
            continue;
        const QString path = out + QLatin1Char('/') + WheelMatrixFileName(p);
        const int reference = ReferenceSize(p);
        const auto known = manifest.constFind(Key(p));
        int firstAttempt = 0;
        int keptSize = 0; // a shipped design that a retry must beat
        if (known != manifest.cend()) {
            if (known->status == QLatin1String("over") && reference == 0) {
                if (annealedOnly(*known) && known->moves > 0 && known->size <= limit + limit * 3 / 10
                    && WheelSizeBounds(p).lower <= limit && PreferredWheelMethod(p) == WheelMethod::RowWeighting)
                    weighKnown(*known, path);
                continue;
            }
            if (known->status == QLatin1String("shipped") && FileInOrder(path, *known)) {
                // A reference design still too large goes on with the larger budgets, then
                // with row weighting.
                const int attempt = int(known->seed - SeedOf(p));
                const bool annealed = annealedOnly(*known);
                if (reference == 0 || known->size <= AllowedSize(reference) || known->size <= WheelSizeBounds(p).lower
                    || attempt + 1 >= kReferenceAttempts || !annealed) {
                    if (reference > 0 && annealed && known->size > reference && WeightingSteps(p, reference) > 0)
                        weighKnown(*known, path);
                    continue;
                }
                firstAttempt = attempt + 1;
                keptSize = known->size;
            }
        }
        QElapsedTimer timer;
        timer.start();
        Entry e;
        e.p = p;
        e.seed = SeedOf(p);
        const WheelBounds bounds = WheelSizeBounds(p);
        if (reference == 0 && bounds.lower > limit) {
            e.status = QStringLiteral("over");
            e.size = bounds.lower;
            manifest.insert(Key(p), e);
            WriteManifest(manifestPath, manifest);
            continue;
        }
        // The greedy start alone tells the scale of the design.
        WheelSearchOptions probe;
        probe.seed = e.seed;
        probe.maxMoves = 0;
        probe.restarts = 1;
        const int greedy = int(GenerateWheel(p, probe).tickets.size());
        if (reference == 0 && greedy > 2 * limit) { // annealing saves up to 40 % of the greedy size
            e.status = QStringLiteral("over");
            e.size = greedy;
            manifest.insert(Key(p), e);
            WriteManifest(manifestPath, manifest);
            log << Key(p) << "\tgreedy " << greedy << "\tover\n";
            log.flush();
            continue;
        }
        WheelSearchResult result;
        const int attempts = reference > 0 ? kReferenceAttempts : 3;
        for (int attempt = firstAttempt; attempt < attempts; ++attempt) {
            WheelSearchOptions options;
            options.seed = e.seed + std::uint64_t(attempt);
            options.maxMoves = MovesFor(p, greedy, attempt);
            options.levelMoves = options.maxMoves / 2;
            result = GenerateWheel(p, options);
            e.seed = options.seed;
            e.moves = options.maxMoves;
            if (reference == 0 || int(result.tickets.size()) <= AllowedSize(reference)
                || int(result.tickets.size()) <= bounds.lower)
                break;
        }
        const WheelCheck check = VerifyWheel(p, result.tickets);
        if (!check.holds) {
            std::fprintf(stderr, "design %s failed its check\n", qPrintable(Key(p)));
            return 1;
        }
        if (keptSize > 0 && int(result.tickets.size()) >= keptSize) {
            log << Key(p) << "\tretry reached " << result.tickets.size() << ", kept " << keptSize << '\n';
            log.flush();
            continue;
        }
        e.size = int(result.tickets.size());
        e.status = (e.size <= limit || reference > 0) ? QStringLiteral("shipped") : QStringLiteral("over");
        if (e.status == QLatin1String("shipped"))
            WriteWheelMatrix(path, result.tickets);
        if (reference > 0 && e.size > reference && WeightingSteps(p, reference) > 0)
            weigh(e, path);
        manifest.insert(Key(p), e);
        WriteManifest(manifestPath, manifest);
        ++done;
        log << Key(p) << "\tgreedy " << greedy << "\tsize " << e.size << "\tlower " << bounds.lower << "\tref "
            << reference << "\tmoves " << e.moves << "\t" << timer.elapsed() / 1000.0 << " s\t" << e.status << '\n';
        log.flush();
    }
    log << "designs built: " << done << '\n';
    return 0;
}
