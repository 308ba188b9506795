#include "glide2/draw_queue.h"

#include "glide2/card.h"
#include "glide2/draw_threads.h"

#include <atomic>
#include <bit>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

namespace {

constexpr int bandRows = 16;
constexpr int bandCount = (screenHeight + bandRows - 1) / bandRows;
constexpr std::uint32_t queueLimit = 1 << 16; // triangles before a forced finish
// Slots and band indices come in chunks allocated as a frame first needs them
// and kept for later frames: memory follows the most a frame has queued.
constexpr std::uint32_t chunkShift = 10;
constexpr std::uint32_t chunkSize = 1u << chunkShift;
constexpr std::uint32_t chunkCount = queueLimit / chunkSize;
constexpr std::uint32_t publishEvery = 32; // triangles queued between handing work to the helpers
constexpr std::uint32_t wakeEvery = 256;   // and between looks for sleeping helpers
constexpr std::size_t pipelinesPerChunk = 64;
constexpr std::uint32_t prefetchAhead = 8; // slots the caller readies before it writes them

struct QueuedTriangle {
    TriangleSetup setup;
    Target target;
    const Pipeline* pipeline;
    bool textured;
};

// One band of rows. The caller appends triangle indices and now and then
// publishes the count; whoever holds the band draws from `drawn` up to what is
// published, so a band's triangles are drawn in the order they came. The two
// halves sit on their own cache lines: the caller writes one, the drawing
// thread the other.
struct Band {
    alignas(64) std::atomic<std::uint32_t> published{0};
    alignas(64) std::atomic<bool> busy{false};
    std::atomic<std::uint32_t> drawn{0}; // written only by the holder
    std::unique_ptr<std::uint32_t[]> indices[chunkCount];

    std::uint32_t index(std::uint32_t n) const { return indices[n >> chunkShift][n & (chunkSize - 1)]; }
};

struct TriangleSlotsDelete {
    void operator()(QueuedTriangle* p) const { ::operator delete(p); }
};

// Storage never moves while triangles are queued: helpers read it as the
// caller appends. A chunk is made before any triangle in it is published, so
// a helper only ever reads chunks that exist. The slots are raw memory.
struct DrawQueue {
    std::unique_ptr<QueuedTriangle, TriangleSlotsDelete> triangles[chunkCount];
    Band bands[bandCount];
    // The caller's alone: triangles queued, each band's appended count, and
    // the bands (one bit each) appended to since the last publication.
    std::uint32_t count = 0;
    std::uint32_t appended[bandCount] = {};
    std::uint32_t unpublished = 0;
    std::uint32_t sinceWake = 0;
    std::vector<std::unique_ptr<Pipeline[]>> pipelineChunks;
    std::size_t pipelineCount = 0;
    const Pipeline* lastPipeline = nullptr;
    std::uint64_t lastGeneration = 0;

    QueuedTriangle* slot(std::uint32_t i) const { return triangles[i >> chunkShift].get() + (i & (chunkSize - 1)); }

    // The chunk holding slot i, made if need be; false when the memory is not there.
    bool slotReady(std::uint32_t i)
    {
        auto& chunk = triangles[i >> chunkShift];
        if (!chunk)
            chunk.reset(
                static_cast<QueuedTriangle*>(::operator new(sizeof(QueuedTriangle) * chunkSize, std::nothrow)));
        return chunk != nullptr;
    }
    bool indexReady(int band, std::uint32_t n)
    {
        auto& chunk = bands[band].indices[n >> chunkShift];
        if (!chunk)
            chunk.reset(new (std::nothrow) std::uint32_t[chunkSize]);
        return chunk != nullptr;
    }

    // A copy of the pipeline that lives until the queue is reset; one per
    // state change, not one per triangle.
    const Pipeline* store(const Pipeline& p)
    {
        if (p.generation != 0 && p.generation == lastGeneration)
            return lastPipeline;
        std::size_t chunk = pipelineCount / pipelinesPerChunk;
        if (chunk == pipelineChunks.size())
            pipelineChunks.push_back(std::make_unique<Pipeline[]>(pipelinesPerChunk));
        Pipeline& slot = pipelineChunks[chunk][pipelineCount % pipelinesPerChunk];
        slot = p;
        ++pipelineCount;
        lastPipeline = &slot;
        lastGeneration = p.generation;
        return &slot;
    }
};

DrawQueue queue;
static_assert(bandCount <= 32, "one bit per band");

// Draws a band's queued triangles [from, to): physical rows [band * bandRows, +bandRows).
void drawRange(int band, std::uint32_t from, std::uint32_t to)
{
    int top = band * bandRows, bottom = top + bandRows < screenHeight ? top + bandRows : screenHeight;
    const Band& b = queue.bands[band];
    for (std::uint32_t i = from; i < to; ++i) {
        const QueuedTriangle& t = *queue.slot(b.index(i));
        Target target = t.target;
        int first = t.target.lowerLeft ? screenHeight - bottom : top;
        int end = t.target.lowerLeft ? screenHeight - top : bottom;
        target.clipMinY = first > target.clipMinY ? first : target.clipMinY;
        target.clipMaxY = end < target.clipMaxY ? end : target.clipMaxY;
        if (target.clipMinY < target.clipMaxY)
            rasterize(*t.pipeline, t.setup, target, t.textured);
    }
    flushGatheredLanes();
}

// The holder of a band draws everything published on it, including what
// arrives meanwhile.
void drainHeld(int band)
{
    Band& b = queue.bands[band];
    std::uint32_t from = b.drawn.load(std::memory_order_relaxed);
    for (std::uint32_t to; (to = b.published.load(std::memory_order_acquire)) > from; from = to)
        drawRange(band, from, to);
    b.drawn.store(from, std::memory_order_relaxed);
}

// Draws the band's waiting triangles unless another thread holds it; true if it drew any.
bool drawIfFree(int band)
{
    Band& b = queue.bands[band];
    if (b.drawn.load(std::memory_order_relaxed) >= b.published.load(std::memory_order_relaxed))
        return false;
    if (b.busy.load(std::memory_order_relaxed) || b.busy.exchange(true, std::memory_order_acquire))
        return false;
    std::uint32_t before = b.drawn.load(std::memory_order_relaxed);
    drainHeld(band);
    bool drew = b.drawn.load(std::memory_order_relaxed) != before;
    b.busy.store(false, std::memory_order_release);
    b.busy.notify_all(); // the caller may be waiting to take the band
    return drew;
}

// One pass over the bands, drawing every free one with work; true if any was drawn.
bool drawWaiting()
{
    bool drew = false;
    for (int band = 0; band < bandCount; ++band)
        drew |= drawIfFree(band);
    return drew;
}

// The helpers draw while the caller queues; with nothing to draw they keep
// looking for a short while, then sleep until the caller has queued more.
struct DrawThreads {
    int requested = 0;    // glide2SetThreadCount's value
    bool resting = false; // frames are drawn on the caller alone
    int untilProbe = 0;   // threaded frames before one is tried alone again
    std::vector<std::thread> helpers;
    std::mutex mutex;
    std::condition_variable wake;
    std::uint64_t wakeCount = 0; // under mutex
    std::atomic<int> sleepers{0};
    std::atomic<bool> stopping{false};
    // Bumped at every publication: idle helpers watch this one line instead
    // of reading every band's count.
    alignas(64) std::atomic<std::uint32_t> announced{0};

    void announce() { announced.fetch_add(1, std::memory_order_seq_cst); }

    void wakeSleepers()
    {
        if (sleepers.load(std::memory_order_seq_cst) == 0)
            return;
        {
            std::lock_guard<std::mutex> lock(mutex);
            ++wakeCount;
        }
        wake.notify_all();
    }

    // A helper that finds nothing to draw sleeps at once: a waiting thread
    // costs no processor time. The caller wakes it every wakeEvery triangles
    // and when it finishes.
    void helperLoop()
    {
        bool drew = false;
        std::uint32_t seen = announced.load(std::memory_order_relaxed) - 1;
        while (!stopping.load(std::memory_order_relaxed)) {
            std::uint32_t latest = announced.load(std::memory_order_seq_cst);
            if (drew || latest != seen) {
                seen = latest;
                drew = drawWaiting();
                continue;
            }
            std::unique_lock<std::mutex> lock(mutex);
            std::uint64_t woken = wakeCount;
            sleepers.fetch_add(1, std::memory_order_seq_cst);
            // Published after the look above: draw it rather than sleep past it.
            if (announced.load(std::memory_order_seq_cst) == seen)
                wake.wait(lock, [&] { return stopping.load(std::memory_order_relaxed) || wakeCount != woken; });
            sleepers.fetch_sub(1, std::memory_order_relaxed);
            drew = true; // look at once
        }
    }

    void stop()
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            stopping.store(true, std::memory_order_relaxed);
        }
        wake.notify_all();
        for (std::thread& t : helpers)
            t.join();
        helpers.clear();
        stopping.store(false, std::memory_order_relaxed);
    }

    ~DrawThreads() { stop(); }
};

// Made on first use, inside main, so it goes (joining the helpers) before the
// card and the queue the helpers draw from.
DrawThreads& drawThreads()
{
    static DrawThreads threads;
    return threads;
}

int wantedThreads()
{
    int n = drawThreads().requested;
    if (n <= 0) {
        const char* env = std::getenv("ORBIVALE_GLIDE2_THREADS");
        n = env ? std::atoi(env) : 0;
    }
    if (n <= 0)
        n = static_cast<int>(std::thread::hardware_concurrency());
    return n < 1 ? 1 : (n > 16 ? 16 : n);
}

// Asks for the cache lines of [start, start + size) in a writable state. The
// queue's slots and index lines were read by a helper in the last frame;
// without this the caller stalls, store by store, while that core gives each
// line up.
void prefetchForWriting(const void* start, std::size_t size)
{
    const char* bytes = static_cast<const char*>(start);
    for (std::size_t offset = 0; offset < size; offset += 64) {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
        // GCC turns __builtin_prefetch(p, 1) into a read prefetch unless the
        // whole file is built for PREFETCHW; processors without it take it as a no-op.
        asm volatile("prefetchw %0" : : "m"(bytes[offset]));
#else
        __builtin_prefetch(bytes + offset, 1, 3);
#endif
    }
}

// Hands the triangles appended since the last time to the helpers.
void publish()
{
    for (std::uint32_t bits = queue.unpublished; bits; bits &= bits - 1) {
        int band = std::countr_zero(bits);
        queue.bands[band].published.store(queue.appended[band], std::memory_order_release);
    }
    queue.unpublished = 0;
    drawThreads().announce();
}

} // namespace

void queueTriangle(const Pipeline& p, const TriangleSetup& s, const Target& target, bool textured)
{
    DrawThreads& threads = drawThreads();
    if (threads.helpers.empty() || threads.resting) {
        rasterize(p, s, target, textured);
        return;
    }
    int first, end;
    triangleRows(s, first, end);
    first = first > target.clipMinY ? first : target.clipMinY;
    end = end < target.clipMaxY ? end : target.clipMaxY;
    if (first >= end)
        return;
    std::uint32_t index = queue.count;
    // The slot and the band entries first: without the memory for them, the
    // queue is drawn and this triangle with it.
    int top = target.lowerLeft ? screenHeight - end : first;
    int bottom = target.lowerLeft ? screenHeight - first : end;
    bool ready = queue.slotReady(index);
    for (int band = top / bandRows; ready && band <= (bottom - 1) / bandRows; ++band)
        ready = queue.indexReady(band, queue.appended[band]);
    if (!ready) {
        finishDrawing();
        rasterize(p, s, target, textured);
        flushGatheredLanes(); // before the helpers draw what comes next
        return;
    }
    ++queue.count;
    if ((index + prefetchAhead) >> chunkShift == index >> chunkShift)
        prefetchForWriting(queue.slot(index + prefetchAhead), sizeof(QueuedTriangle));
    // Written in full before any band publishes it.
    new (queue.slot(index)) QueuedTriangle{s, target, queue.store(p), textured};
    // The physical rows the triangle touches, and the bands holding them.
    for (int band = top / bandRows; band <= (bottom - 1) / bandRows; ++band) {
        std::uint32_t n = queue.appended[band]++;
        std::uint32_t* indices = queue.bands[band].indices[n >> chunkShift].get();
        std::uint32_t at = n & (chunkSize - 1);
        if (at % 16 == 0 && at + 32 < chunkSize)
            prefetchForWriting(indices + at + 32, 4);
        indices[at] = index;
        queue.unpublished |= 1u << band;
    }
    // Publishing in batches keeps the caller from writing, triangle by
    // triangle, the lines the helpers are reading.
    if (++queue.sinceWake % publishEvery == 0)
        publish();
    if (queue.sinceWake >= wakeEvery) {
        queue.sinceWake = 0;
        threads.wakeSleepers();
    }
    if (queue.count >= queueLimit)
        finishDrawing();
}

void finishDrawing()
{
    flushGatheredLanes(); // this thread's, drawn without the queue
    if (queue.count == 0)
        return;
    publish();
    drawThreads().wakeSleepers();
    while (drawWaiting()) {
    }
    // Every band is drawn or held by a helper. Take each one (waiting for its
    // helper), draw what is left, and reset the queue while holding them all.
    for (int band = 0; band < bandCount; ++band) {
        Band& b = queue.bands[band];
        while (b.busy.exchange(true, std::memory_order_acquire))
            b.busy.wait(true, std::memory_order_acquire); // asleep until the helper lets go
        drainHeld(band);
    }
    for (Band& b : queue.bands) {
        b.published.store(0, std::memory_order_relaxed);
        b.drawn.store(0, std::memory_order_relaxed);
    }
    for (std::uint32_t& n : queue.appended)
        n = 0;
    queue.count = 0;
    queue.sinceWake = 0;
    queue.pipelineCount = 0;
    queue.lastPipeline = nullptr;
    queue.lastGeneration = 0;
    for (Band& b : queue.bands)
        b.busy.store(false, std::memory_order_release);
}

void paceDrawThreads(bool paced, double frameSeconds, double refreshSeconds)
{
    constexpr int probeEvery = 120; // threaded frames, two seconds at 60 Hz
    DrawThreads& threads = drawThreads();
    if (!paced) {
        threads.resting = false;
    } else if (threads.resting) {
        if (frameSeconds > 0.5 * refreshSeconds) {
            threads.resting = false;
            threads.untilProbe = probeEvery;
        }
    } else if (--threads.untilProbe <= 0) {
        threads.resting = true;
    }
}

void startDrawThreads()
{
    stopDrawThreads();
    int n = wantedThreads();
    DrawThreads& threads = drawThreads();
    for (int i = 1; i < n; ++i) {
        try {
            threads.helpers.emplace_back([&threads] { threads.helperLoop(); });
        } catch (const std::system_error&) {
            break; // the system has no more threads for us: draw with those we have
        }
    }
}

void stopDrawThreads()
{
    finishDrawing();
    drawThreads().stop();
}

void glide2SetThreadCount(int count)
{
    drawThreads().requested = count;
    if (card.open)
        startDrawThreads();
}

int glide2ThreadCount() { return static_cast<int>(drawThreads().helpers.size()) + 1; }
