#include "mspace.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

// Boundary-tag allocator. A chunk starts with two words: `prevFoot` (the size of the previous
// chunk while that one is free, else the owner mark of the previous chunk) and `head` (size and
// flags). The owner mark is the arena address XOR the process magic, so any block leads back to
// its arena. Each segment ends in an 80-byte foot that holds the segment record and stops
// coalescing; the first segment starts with the arena's state record.

namespace {

constexpr size_t kWord = sizeof(size_t);
constexpr size_t kAlign = 16;
constexpr size_t kAlignMask = kAlign - 1;
constexpr size_t kOverhead = 2 * kWord;
constexpr size_t kMinChunk = 32;
constexpr size_t kStateChunk = 960;
constexpr size_t kTopFoot = 80;
constexpr size_t kBookkeeping = kStateChunk + kTopFoot;
constexpr size_t kSysAllocPad = kTopFoot + kAlign;
constexpr size_t kMapFootPad = 4 * kWord;
constexpr size_t kMaxSize = ~size_t(0);
constexpr size_t kMaxRequest = size_t(0) - 128;
constexpr size_t kSmallLimit = 256;  // chunk sizes below this live in exact-size bins
constexpr size_t kReleaseCheckRate = 4095;

constexpr size_t kPinuse = 1;
constexpr size_t kCinuse = 2;
constexpr size_t kMapped = 4;
constexpr size_t kFlagMask = 15;

constexpr unsigned kUseMmap = 1;
constexpr unsigned kNonContiguous = 4;
constexpr unsigned kExternSeg = 8;

constexpr unsigned kSmallBins = 16;
constexpr unsigned kLargeBins = 48;

struct Chunk {
    size_t prevFoot;
    size_t head;
    Chunk* fd;  // free chunks only
    Chunk* bk;
};

struct Segment {
    char* base;
    size_t size;
    Segment* next;
    unsigned flags;
};

struct State {
    size_t magic;
    char* leastAddr;
    Chunk* top;
    size_t topSize;
    size_t footprint;
    size_t maxFootprint;
    size_t footprintLimit;
    size_t releaseChecks;
    size_t trimCheck;
    unsigned mflags;
    uint32_t smallMap;
    uint64_t largeMap;
    Segment* segments;
    Chunk* smallBins[kSmallBins];
    Chunk* largeBins[kLargeBins];
};
static_assert(sizeof(State) + kOverhead <= kStateChunk, "state record must fit its chunk");
static_assert(sizeof(Segment) + kOverhead <= kTopFoot, "segment record must fit the foot");

struct Params {
    size_t magic = 0;
    size_t pageSize = 0;
    size_t granularity = 0;
    size_t mmapThreshold = 0;
    size_t trimThreshold = 0;
    unsigned defaultFlags = 0;
};
Params gParams;

void ensureParams()
{
    if (gParams.magic != 0) return;
    const long page = sysconf(_SC_PAGESIZE);
    const size_t ps = page > 0 ? size_t(page) : 0;
    if (ps == 0 || (ps & (ps - 1)) != 0) abort();
    gParams.pageSize = ps;
    gParams.granularity = 0x10000;
    gParams.mmapThreshold = 0x40000;
    gParams.trimThreshold = 0x200000;
    gParams.defaultFlags = kUseMmap | kNonContiguous;
    size_t magic = size_t(time(nullptr)) ^ size_t(0x55555555u);
    magic |= 8;
    magic &= ~size_t(7);
    gParams.magic = magic;
}

// --- chunk helpers -------------------------------------------------------------------------

inline size_t chunkSize(const Chunk* p) { return p->head & ~kFlagMask; }
inline bool isInuse(const Chunk* p) { return (p->head & kCinuse) != 0; }
inline bool isPinuse(const Chunk* p) { return (p->head & kPinuse) != 0; }
inline bool isMapped(const Chunk* p) { return (p->head & kMapped) != 0; }
inline Chunk* plus(const Chunk* p, size_t n) { return reinterpret_cast<Chunk*>((char*)p + n); }
inline Chunk* minus(const Chunk* p, size_t n) { return reinterpret_cast<Chunk*>((char*)p - n); }
inline void* toMem(const Chunk* p) { return (char*)p + kOverhead; }
inline Chunk* toChunk(const void* mem) { return reinterpret_cast<Chunk*>((char*)mem - kOverhead); }

inline size_t padRequest(size_t req) { return (req + kOverhead + kAlignMask) & ~kAlignMask; }
inline size_t requestToSize(size_t req) { return req < kMinChunk - kOverhead - 1 ? kMinChunk : padRequest(req); }
inline size_t pageAlign(size_t s) { return (s + gParams.pageSize - 1) & ~(gParams.pageSize - 1); }
inline size_t granularityAlign(size_t s) { return (s + gParams.granularity - 1) & ~(gParams.granularity - 1); }

inline size_t ownerMark(const State* m) { return size_t(m) ^ gParams.magic; }

[[noreturn]] void corrupted() { abort(); }
[[noreturn]] void misused() { abort(); }

inline bool okAddress(const State* m, const void* p) { return (const char*)p >= m->leastAddr; }

void checkArena(const State* m)
{
    if (!m || m->magic != gParams.magic) misused();
}

// Marks p (size s) in use, keeping its own PINUSE, and tells the next chunk.
void setInuse(State* m, Chunk* p, size_t s)
{
    p->head = (p->head & kPinuse) | s | kCinuse;
    Chunk* next = plus(p, s);
    next->prevFoot = ownerMark(m);
    next->head |= kPinuse;
}

// The same for a chunk whose predecessor is known to be in use.
void setInuseWithPinuse(State* m, Chunk* p, size_t s)
{
    p->head = s | kCinuse | kPinuse;
    Chunk* next = plus(p, s);
    next->prevFoot = ownerMark(m);
    next->head |= kPinuse;
}

void setFree(Chunk* p, size_t s)
{
    p->head = s | kPinuse;
    Chunk* next = plus(p, s);
    next->prevFoot = s;
    next->head &= ~kPinuse;
}

State* ownerOf(const Chunk* p)
{
    const Chunk* next = plus(p, chunkSize(p));
    return reinterpret_cast<State*>(next->prevFoot ^ gParams.magic);
}

// --- bins ----------------------------------------------------------------------------------

unsigned largeIndex(size_t s)
{
    const unsigned log2 = 63u - unsigned(__builtin_clzll(s));
    const unsigned sub = unsigned(s >> (log2 - 2)) & 3u;
    const unsigned idx = (log2 - 8) * 4 + sub;
    return idx < kLargeBins ? idx : kLargeBins - 1;
}

Chunk** binFor(State* m, size_t s, bool* small, unsigned* idx)
{
    if (s < kSmallLimit) {
        *small = true;
        *idx = unsigned(s >> 4);
        return &m->smallBins[*idx];
    }
    *small = false;
    *idx = largeIndex(s);
    return &m->largeBins[*idx];
}

void insertChunk(State* m, Chunk* p, size_t s)
{
    if (!okAddress(m, p)) corrupted();
    bool small = false;
    unsigned idx = 0;
    Chunk** bin = binFor(m, s, &small, &idx);
    Chunk* first = *bin;
    if (first && first->bk != nullptr) corrupted();
    p->fd = first;
    p->bk = nullptr;
    if (first) first->bk = p;
    *bin = p;
    if (small) m->smallMap |= 1u << idx;
    else m->largeMap |= uint64_t(1) << idx;
}

void unlinkChunk(State* m, Chunk* p)
{
    if (!okAddress(m, p) || isInuse(p)) corrupted();
    bool small = false;
    unsigned idx = 0;
    Chunk** bin = binFor(m, chunkSize(p), &small, &idx);
    Chunk* fd = p->fd;
    Chunk* bk = p->bk;
    if (fd && (!okAddress(m, fd) || fd->bk != p)) corrupted();
    if (bk) {
        if (!okAddress(m, bk) || bk->fd != p) corrupted();
        bk->fd = fd;
    } else {
        if (*bin != p) corrupted();
        *bin = fd;
    }
    if (fd) fd->bk = bk;
    if (*bin == nullptr) {
        if (small) m->smallMap &= ~(1u << idx);
        else m->largeMap &= ~(uint64_t(1) << idx);
    }
}

// Smallest free chunk of at least nb bytes, unlinked; null when none.
Chunk* takeBestFit(State* m, size_t nb)
{
    if (nb < kSmallLimit) {
        const uint32_t mask = m->smallMap & ~((1u << (nb >> 4)) - 1u);
        if (mask) {
            Chunk* p = m->smallBins[__builtin_ctz(mask)];
            unlinkChunk(m, p);
            return p;
        }
    }
    const unsigned start = nb < kSmallLimit ? 0 : largeIndex(nb);
    uint64_t mask = m->largeMap & ~((uint64_t(1) << start) - 1u);
    while (mask) {
        const unsigned idx = unsigned(__builtin_ctzll(mask));
        Chunk* best = nullptr;
        for (Chunk* q = m->largeBins[idx]; q; q = q->fd) {
            const size_t qs = chunkSize(q);
            if (qs >= nb && (!best || qs < chunkSize(best))) best = q;
        }
        if (best) {
            unlinkChunk(m, best);
            return best;
        }
        mask &= mask - 1;
    }
    return nullptr;
}

// --- segments ------------------------------------------------------------------------------

Segment* footRecord(char* base, size_t size)
{
    return reinterpret_cast<Segment*>(base + size - kTopFoot + kOverhead);
}

// Writes the foot of a segment: an in-use pseudo chunk holding the record.
Segment* writeFoot(char* base, size_t size, Segment* next, unsigned flags)
{
    Chunk* foot = reinterpret_cast<Chunk*>(base + size - kTopFoot);
    foot->head = kTopFoot | kCinuse;
    Segment* seg = footRecord(base, size);
    seg->base = base;
    seg->size = size;
    seg->next = next;
    seg->flags = flags;
    return seg;
}

Segment* segmentHolding(State* m, const void* addr)
{
    for (Segment* s = m->segments; s; s = s->next) {
        if ((const char*)addr >= s->base && (const char*)addr < s->base + s->size) return s;
    }
    return nullptr;
}

// Moves a segment's foot (its size changed) and relinks whoever pointed at its record.
Segment* resizeSegment(State* m, Segment* seg, char* newBase, size_t newSize)
{
    Segment* next = seg->next;
    const unsigned flags = seg->flags;
    Chunk* oldFoot = reinterpret_cast<Chunk*>(seg->base + seg->size - kTopFoot);
    const size_t oldPinuse = oldFoot->head & kPinuse;
    Segment** link = &m->segments;
    while (*link != seg) link = &(*link)->next;
    Segment* moved = writeFoot(newBase, newSize, next, flags);
    // A foot that stays in place still follows the same chunk: keep what it knew of it.
    if (reinterpret_cast<Chunk*>(newBase + newSize - kTopFoot) == oldFoot) oldFoot->head |= oldPinuse;
    *link = moved;
    return moved;
}

void setTop(State* m, Chunk* p, size_t size)
{
    m->top = p;
    m->topSize = size;
    p->head = size | kPinuse;
    Chunk* foot = plus(p, size);
    foot->head &= ~kPinuse;
}

void noteFootprint(State* m, size_t added)
{
    m->footprint += added;
    if (m->footprint > m->maxFootprint) m->maxFootprint = m->footprint;
}

bool limitAllows(const State* m, size_t added)
{
    if (m->footprintLimit == 0) return true;
    const size_t fp = m->footprint + added;
    return fp > m->footprint && fp <= m->footprintLimit;
}

void* mapMemory(size_t size)
{
    void* p = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return p == MAP_FAILED ? nullptr : p;
}

// --- freeing -------------------------------------------------------------------------------

size_t trimArena(State* m, size_t pad);
size_t releaseUnusedSegments(State* m);

// Returns a chunk to the arena: merges free neighbours, then bins it or grows the top.
// Answers true when the chunk ended up in the top.
bool releaseChunk(State* m, Chunk* p, size_t psize, bool* large)
{
    if (large) *large = false;
    if (!isPinuse(p)) {
        const size_t prevSize = p->prevFoot;
        Chunk* prev = minus(p, prevSize);
        if (!okAddress(m, prev)) corrupted();
        if (prev == m->top) corrupted();
        unlinkChunk(m, prev);
        psize += prevSize;
        p = prev;
    }
    Chunk* next = plus(p, psize);
    if (!okAddress(m, next)) corrupted();
    if (!isInuse(next)) {
        if (next == m->top) {
            setTop(m, p, m->topSize + psize);
            return true;
        }
        const size_t nsize = chunkSize(next);
        unlinkChunk(m, next);
        psize += nsize;
    }
    setFree(p, psize);
    insertChunk(m, p, psize);
    if (large) *large = psize >= kSmallLimit;
    return false;
}

void freeChunk(State* m, Chunk* p)
{
    const size_t psize = chunkSize(p);
    if (isMapped(p)) {
        const size_t offset = p->prevFoot;
        const size_t total = psize + offset + kMapFootPad;
        if (munmap((char*)p - offset, total) == 0) m->footprint -= total;
        return;
    }
    bool large = false;
    if (releaseChunk(m, p, psize, &large)) {
        if (m->topSize > m->trimCheck) (void)trimArena(m, 0);
    } else if (large && --m->releaseChecks == 0) {
        (void)releaseUnusedSegments(m);
    }
}

// Finds the owner of an allocated block, ending the process on a broken record.
State* checkedOwner(Chunk* p)
{
    if (!isInuse(p)) corrupted();
    State* m = ownerOf(p);
    checkArena(m);
    if (!okAddress(m, p)) corrupted();
    if (!isMapped(p) && !isPinuse(plus(p, chunkSize(p)))) corrupted();
    return m;
}

size_t releaseUnusedSegments(State* m)
{
    size_t released = 0;
    size_t count = 0;
    Segment** link = &m->segments;
    while (*link) {
        Segment* seg = *link;
        ++count;
        const bool own = (seg->flags & kExternSeg) == 0;
        Chunk* first = reinterpret_cast<Chunk*>(seg->base);
        const bool holdsTop = (char*)m->top >= seg->base && (char*)m->top < seg->base + seg->size;
        if (own && !holdsTop && !isInuse(first) &&
            (char*)first + chunkSize(first) >= seg->base + seg->size - kTopFoot) {
            Segment* next = seg->next;
            char* base = seg->base;
            const size_t size = seg->size;
            unlinkChunk(m, first);
            if (munmap(base, size) == 0) {
                released += size;
                m->footprint -= size;
                *link = next;
                continue;
            }
            insertChunk(m, first, chunkSize(first));  // mapping stays; keep the chunk usable
        }
        link = &seg->next;
    }
    m->releaseChecks = count > kReleaseCheckRate ? count : kReleaseCheckRate;
    return released;
}

size_t trimArena(State* m, size_t pad)
{
    size_t released = 0;
    if (pad < kMaxRequest && m->top) {
        pad += kTopFoot;
        if (m->topSize > pad) {
            const size_t unit = gParams.granularity;
            const size_t extra = ((m->topSize - pad + (unit - 1)) / unit - 1) * unit;
            Segment* seg = segmentHolding(m, m->top);
            if (extra > 0 && seg && (seg->flags & kExternSeg) == 0 && seg->size > extra) {
                const size_t oldSize = seg->size;
                const size_t newSize = oldSize - extra;
                // The record lives in the part that goes away: move it into the top first.
                Segment* moved = resizeSegment(m, seg, seg->base, newSize);
                if (munmap(moved->base + newSize, extra) == 0) {
                    released = extra;
                    m->footprint -= extra;
                    setTop(m, m->top, m->topSize - extra);
                } else {
                    (void)resizeSegment(m, moved, moved->base, oldSize);
                }
            }
        }
        released += releaseUnusedSegments(m);
        if (released == 0 && m->topSize > m->trimCheck) m->trimCheck = kMaxSize;
    }
    return released;
}

// --- allocating ----------------------------------------------------------------------------

void* mapChunk(State* m, size_t nb)
{
    const size_t mapSize = pageAlign(nb + 6 * kWord + kAlignMask);
    if (mapSize <= nb || !limitAllows(m, mapSize)) return nullptr;
    char* mem = static_cast<char*>(mapMemory(mapSize));
    if (!mem) return nullptr;
    Chunk* p = reinterpret_cast<Chunk*>(mem);
    const size_t psize = mapSize - kMapFootPad;
    p->prevFoot = 0;  // offset of the chunk inside its mapping
    p->head = psize | kCinuse | kMapped | kPinuse;
    Chunk* fence = plus(p, psize);
    fence->prevFoot = ownerMark(m);
    fence->head = kCinuse | kPinuse;
    plus(fence, kWord)->head = 0;
    if (mem < m->leastAddr) m->leastAddr = mem;
    noteFootprint(m, mapSize);
    return toMem(p);
}

// Takes a fresh segment of at least nb + padding and joins it to the arena. Answers whether
// memory was added; a direct mapping for a large request is returned through `direct`.
bool growArena(State* m, size_t nb, void** direct)
{
    *direct = nullptr;
    if ((m->mflags & kUseMmap) && nb >= gParams.mmapThreshold && m->topSize != 0) {
        *direct = mapChunk(m, nb);
        if (*direct) return true;
    }
    const size_t asize = granularityAlign(nb + kSysAllocPad);
    if (asize <= nb) {
        errno = ENOMEM;
        return false;
    }
    if (!limitAllows(m, asize)) return false;
    char* base = static_cast<char*>(mapMemory(asize));
    if (!base) {
        errno = ENOMEM;
        return false;
    }
    noteFootprint(m, asize);
    if (base < m->leastAddr) m->leastAddr = base;

    Segment* topSeg = segmentHolding(m, m->top);
    if (topSeg && (topSeg->flags & kExternSeg) == 0 && topSeg->base + topSeg->size == base) {
        // Right after the top segment: the top simply grows over the old foot.
        (void)resizeSegment(m, topSeg, topSeg->base, topSeg->size + asize);
        setTop(m, m->top, m->topSize + asize);
        return true;
    }
    for (Segment* s = m->segments; s; s = s->next) {
        if ((s->flags & kExternSeg) == 0 && base + asize == s->base) {
            // Right before a segment: the new space becomes a free chunk ahead of its first.
            (void)resizeSegment(m, s, base, s->size + asize);
            Chunk* p = reinterpret_cast<Chunk*>(base);
            p->head = asize | kPinuse;
            (void)releaseChunk(m, p, asize, nullptr);
            return true;
        }
    }
    // A separate segment becomes the top; the old top is kept as an ordinary chunk.
    Chunk* oldTop = m->top;
    const size_t oldTopSize = m->topSize;
    m->segments = writeFoot(base, asize, m->segments, 0);
    Chunk* newTop = reinterpret_cast<Chunk*>(base);
    setTop(m, newTop, asize - kTopFoot);
    if (oldTop) {
        if (oldTopSize >= kMinChunk) {
            setFree(oldTop, oldTopSize);
            insertChunk(m, oldTop, oldTopSize);
        } else {
            setInuseWithPinuse(m, oldTop, oldTopSize);
        }
    }
    return true;
}

Chunk* splitOff(State* m, Chunk* p, size_t nb)
{
    const size_t size = chunkSize(p);
    const size_t rest = size - nb;
    if (rest >= kMinChunk) {
        setInuse(m, p, nb);
        Chunk* r = plus(p, nb);
        r->head = rest | kPinuse;
        setFree(r, rest);
        insertChunk(m, r, rest);
    } else {
        setInuse(m, p, size);
    }
    return p;
}

void* allocateChunk(State* m, size_t nb)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (Chunk* p = takeBestFit(m, nb)) {
            p->head |= kCinuse;  // taken out of the bins; splitOff sets the final size
            return toMem(splitOff(m, p, nb));
        }
        if (m->top && nb < m->topSize) {
            Chunk* p = m->top;
            const size_t rest = m->topSize - nb;
            Chunk* r = plus(p, nb);
            r->head = 0;
            setTop(m, r, rest);
            setInuse(m, p, nb);
            return toMem(p);
        }
        if (attempt == 1 || nb >= kMaxSize - kSysAllocPad) break;
        void* direct = nullptr;
        if (!growArena(m, nb, &direct)) return nullptr;
        if (direct) return direct;
    }
    return nullptr;
}

void* internalMalloc(State* m, size_t bytes)
{
    if (bytes >= kMaxRequest) {
        errno = ENOMEM;
        return nullptr;
    }
    return allocateChunk(m, requestToSize(bytes));
}

void internalFree(void* mem)
{
    if (!mem) return;
    Chunk* p = toChunk(mem);
    State* m = checkedOwner(p);
    freeChunk(m, p);
}

// Resizes in place; null when the chunk and its neighbour cannot hold nb.
Chunk* resizeInPlace(State* m, Chunk* p, size_t nb)
{
    const size_t oldSize = chunkSize(p);
    if (isMapped(p)) {
        if (nb < kSmallLimit) return nullptr;
        if (oldSize >= nb + kWord && oldSize - nb <= (gParams.granularity << 1)) return p;
        return nullptr;
    }
    Chunk* next = plus(p, oldSize);
    if (oldSize >= nb) {
        const size_t rest = oldSize - nb;
        if (rest >= kMinChunk) {
            setInuse(m, p, nb);
            Chunk* r = plus(p, nb);
            r->head = kPinuse;
            setInuse(m, r, rest);
            (void)releaseChunk(m, r, rest, nullptr);
        }
        return p;
    }
    if (next == m->top) {
        if (oldSize + m->topSize <= nb) return nullptr;
        const size_t rest = oldSize + m->topSize - nb;
        Chunk* r = plus(p, nb);
        r->head = 0;
        setTop(m, r, rest);
        setInuse(m, p, nb);
        return p;
    }
    if (!isInuse(next)) {
        const size_t nextSize = chunkSize(next);
        if (oldSize + nextSize < nb) return nullptr;
        unlinkChunk(m, next);
        const size_t total = oldSize + nextSize;
        const size_t rest = total - nb;
        if (rest < kMinChunk) {
            setInuse(m, p, total);
        } else {
            setInuse(m, p, nb);
            Chunk* r = plus(p, nb);
            r->head = kPinuse;
            setInuse(m, r, rest);
            (void)releaseChunk(m, r, rest, nullptr);
        }
        return p;
    }
    return nullptr;
}

void* internalMemalign(State* m, size_t alignment, size_t bytes)
{
    if (alignment < kMinChunk) alignment = kMinChunk;
    if ((alignment & (alignment - 1)) != 0) {
        size_t a = kMinChunk;
        while (a < alignment) a <<= 1;
        alignment = a;
    }
    if (bytes >= kMaxRequest - alignment) {
        errno = ENOMEM;
        return nullptr;
    }
    const size_t nb = requestToSize(bytes);
    char* mem = static_cast<char*>(internalMalloc(m, nb + alignment + kMinChunk - kOverhead));
    if (!mem) return nullptr;
    Chunk* p = toChunk(mem);
    Chunk* leader = nullptr;
    Chunk* trailer = nullptr;
    if ((size_t(mem) & (alignment - 1)) != 0) {
        char* aligned = (char*)((size_t(mem) + alignment - 1) & ~(alignment - 1));
        Chunk* br = toChunk(aligned);
        Chunk* pos = size_t((char*)br - (char*)p) >= kMinChunk ? br : plus(br, alignment);
        const size_t lead = size_t((char*)pos - (char*)p);
        const size_t newSize = chunkSize(p) - lead;
        if (isMapped(p)) {
            pos->prevFoot = p->prevFoot + lead;
            pos->head = newSize | kCinuse | kMapped | kPinuse;
        } else {
            pos->head = kPinuse;
            setInuse(m, pos, newSize);
            setInuse(m, p, lead);
            leader = p;
        }
        p = pos;
    }
    if (!isMapped(p)) {
        const size_t size = chunkSize(p);
        if (size > nb + kMinChunk) {
            setInuse(m, p, nb);
            trailer = plus(p, nb);
            trailer->head = kPinuse;
            setInuse(m, trailer, size - nb);
        }
    }
    if (leader) freeChunk(m, leader);
    if (trailer) freeChunk(m, trailer);
    return toMem(p);
}

// Carves `count` blocks out of one allocation; opts bit 0: all one size, bit 1: zero them.
void** independentAlloc(State* m, size_t count, const size_t* sizes, int opts, void** chunks)
{
    void** array = nullptr;
    size_t arraySize = 0;
    if (chunks) {
        if (count == 0) return chunks;
        array = chunks;
    } else {
        if (count == 0) return static_cast<void**>(internalMalloc(m, 0));
        if (count > kMaxRequest / sizeof(void*)) return nullptr;
        arraySize = requestToSize(count * sizeof(void*));
    }
    size_t elemSize = 0;
    size_t contents = 0;
    if (opts & 1) {
        if (*sizes >= kMaxRequest) return nullptr;
        elemSize = requestToSize(*sizes);
        if (count > kMaxRequest / elemSize) return nullptr;
        contents = count * elemSize;
    } else {
        for (size_t i = 0; i < count; ++i) {
            if (sizes[i] >= kMaxRequest) return nullptr;
            contents += requestToSize(sizes[i]);
            if (contents >= kMaxRequest) return nullptr;
        }
    }
    const size_t total = contents + arraySize;
    if (total < contents || total >= kMaxRequest) return nullptr;
    const unsigned savedFlags = m->mflags;
    m->mflags &= ~kUseMmap;  // the blocks must live in a segment to be freed one by one
    char* mem = static_cast<char*>(internalMalloc(m, total - kOverhead));
    m->mflags = savedFlags;
    if (!mem) return nullptr;
    Chunk* p = toChunk(mem);
    size_t remaining = chunkSize(p);
    if (opts & 2) memset(mem, 0, remaining - kOverhead - arraySize);
    if (!array) {
        Chunk* arrayChunk = plus(p, contents);
        arrayChunk->head = kPinuse;
        setInuse(m, arrayChunk, remaining - contents);
        array = static_cast<void**>(toMem(arrayChunk));
        remaining = contents;
    }
    for (size_t i = 0;; ++i) {
        array[i] = toMem(p);
        if (i == count - 1) {
            setInuse(m, p, remaining);
            break;
        }
        const size_t size = elemSize ? elemSize : requestToSize(sizes[i]);
        remaining -= size;
        setInuse(m, p, size);
        p = plus(p, size);
        p->head = kPinuse;
    }
    return array;
}

State* initState(char* base, size_t size, unsigned segFlags)
{
    Chunk* stateChunk = reinterpret_cast<Chunk*>(base);
    State* m = static_cast<State*>(toMem(stateChunk));
    memset(m, 0, sizeof(State));
    stateChunk->prevFoot = 0;
    stateChunk->head = kStateChunk | kCinuse | kPinuse;
    m->magic = gParams.magic;
    m->leastAddr = base;
    m->footprint = m->maxFootprint = size;
    m->releaseChecks = kReleaseCheckRate;
    m->trimCheck = gParams.trimThreshold;
    m->mflags = gParams.defaultFlags;
    m->segments = writeFoot(base, size, nullptr, segFlags);
    Chunk* top = plus(stateChunk, kStateChunk);
    top->prevFoot = ownerMark(m);
    setTop(m, top, size - kBookkeeping);
    return m;
}

void collectStats(State* m, size_t* sum, size_t* freeBytes, size_t* freeCount)
{
    *freeCount = 1;
    *freeBytes = m->topSize + kTopFoot;
    *sum = *freeBytes;
    for (Segment* s = m->segments; s; s = s->next) {
        Chunk* q = reinterpret_cast<Chunk*>(s->base);
        char* end = s->base + s->size - kTopFoot;
        while ((char*)q < end && q != m->top) {
            const size_t sz = chunkSize(q);
            if (sz == 0) break;
            *sum += sz;
            if (!isInuse(q)) {
                *freeBytes += sz;
                ++*freeCount;
            }
            q = plus(q, sz);
        }
    }
}

State* asState(mspace msp)
{
    ensureParams();
    State* m = static_cast<State*>(msp);
    checkArena(m);
    return m;
}

}  // namespace

mspace create_mspace(size_t capacity, int locked)
{
    (void)locked;  // arenas never lock
    ensureParams();
    if (capacity >= kMaxSize - (kBookkeeping + gParams.pageSize)) return nullptr;
    const size_t request = capacity == 0 ? gParams.granularity : capacity + kBookkeeping;
    const size_t size = granularityAlign(request);
    char* base = static_cast<char*>(mapMemory(size));
    if (!base) {
        errno = ENOMEM;
        return nullptr;
    }
    return initState(base, size, 0);
}

mspace create_mspace_with_base(void* base, size_t capacity, int locked)
{
    (void)locked;
    ensureParams();
    if (!base || capacity <= kBookkeeping || capacity >= kMaxSize - (kBookkeeping + gParams.pageSize)) {
        return nullptr;
    }
    const size_t skew = (kAlign - (size_t(base) & kAlignMask)) & kAlignMask;
    const size_t usable = (capacity - skew) & ~kAlignMask;
    if (usable <= kBookkeeping + kAlign) return nullptr;
    return initState(static_cast<char*>(base) + skew, usable, kExternSeg);
}

size_t destroy_mspace(mspace msp)
{
    State* m = asState(msp);
    size_t freed = 0;
    Segment* s = m->segments;
    while (s) {
        // The record lives in the segment's own foot: read it before unmapping.
        Segment* next = s->next;
        char* base = s->base;
        const size_t size = s->size;
        if ((s->flags & kExternSeg) == 0 && munmap(base, size) == 0) freed += size;
        s = next;
    }
    return freed;
}

void* mspace_malloc(mspace msp, size_t bytes) { return internalMalloc(asState(msp), bytes); }

void mspace_free(mspace msp, void* mem)
{
    (void)msp;  // the footer names the owner
    ensureParams();
    internalFree(mem);
}

void* mspace_calloc(mspace msp, size_t count, size_t elemSize)
{
    State* m = asState(msp);
    size_t req = 0;
    if (count != 0) {
        req = count * elemSize;
        if (((count | elemSize) & ~size_t(0xffff)) && req / count != elemSize) req = kMaxSize;
    }
    void* mem = internalMalloc(m, req);
    if (mem && !isMapped(toChunk(mem))) memset(mem, 0, req);
    return mem;
}

void* mspace_realloc(mspace msp, void* mem, size_t bytes)
{
    if (!mem) return mspace_malloc(msp, bytes);
    ensureParams();
    if (bytes >= kMaxRequest) {
        errno = ENOMEM;
        return nullptr;
    }
    Chunk* p = toChunk(mem);
    State* m = checkedOwner(p);
    const size_t nb = requestToSize(bytes);
    if (resizeInPlace(m, p, nb)) return mem;
    void* moved = internalMalloc(m, bytes);
    if (!moved) return nullptr;
    const size_t oldUsable = chunkSize(p) - kOverhead;
    memcpy(moved, mem, oldUsable < bytes ? oldUsable : bytes);
    freeChunk(m, p);
    return moved;
}

void* mspace_realloc_in_place(mspace msp, void* mem, size_t bytes)
{
    (void)msp;
    if (!mem) return nullptr;
    ensureParams();
    if (bytes >= kMaxRequest) {
        errno = ENOMEM;
        return nullptr;
    }
    Chunk* p = toChunk(mem);
    State* m = checkedOwner(p);
    return resizeInPlace(m, p, requestToSize(bytes)) == p ? mem : nullptr;
}

void* mspace_memalign(mspace msp, size_t alignment, size_t bytes)
{
    State* m = asState(msp);
    if (alignment <= kAlign) return internalMalloc(m, bytes);
    return internalMemalign(m, alignment, bytes);
}

void** mspace_independent_calloc(mspace msp, size_t count, size_t elemSize, void* chunks[])
{
    size_t sz = elemSize;
    return independentAlloc(asState(msp), count, &sz, 3, chunks);
}

void** mspace_independent_comalloc(mspace msp, size_t count, size_t sizes[], void* chunks[])
{
    return independentAlloc(asState(msp), count, sizes, 0, chunks);
}

size_t mspace_bulk_free(mspace msp, void* array[], size_t count)
{
    State* m = asState(msp);
    size_t unfreed = 0;
    void** fence = array + count;
    for (void** a = array; a != fence; ++a) {
        void* mem = *a;
        if (!mem) continue;
        Chunk* p = toChunk(mem);
        if (!isInuse(p)) corrupted();
        if (ownerOf(p) != m) {
            ++unfreed;
            continue;
        }
        if (!okAddress(m, p)) corrupted();
        *a = nullptr;
        const size_t psize = chunkSize(p);
        void** b = a + 1;
        if (!isMapped(p)) {
            Chunk* next = plus(p, psize);
            if (b != fence && *b == toMem(next) && isInuse(next) && !isMapped(next)) {
                // Its neighbour goes too: hand both over as one chunk at the next entry.
                setInuse(m, p, psize + chunkSize(next));
                *b = toMem(p);
                continue;
            }
        }
        freeChunk(m, p);
    }
    if (m->topSize > m->trimCheck) (void)trimArena(m, 0);
    return unfreed;
}

int mspace_trim(mspace msp, size_t pad)
{
    return trimArena(asState(msp), pad) != 0 ? 1 : 0;
}

void mspace_malloc_stats(mspace msp)
{
    State* m = asState(msp);
    size_t maxfp = 0;
    size_t fp = 0;
    size_t used = 0;
    if (m->top) {
        size_t sum = 0, freeBytes = 0, freeCount = 0;
        collectStats(m, &sum, &freeBytes, &freeCount);
        maxfp = m->maxFootprint;
        fp = m->footprint;
        used = fp - freeBytes;
    }
    fprintf(stderr, "max system bytes = %10lu\n", (unsigned long)maxfp);
    fprintf(stderr, "system bytes     = %10lu\n", (unsigned long)fp);
    fprintf(stderr, "in use bytes     = %10lu\n", (unsigned long)used);
}

size_t mspace_footprint(mspace msp) { return asState(msp)->footprint; }

size_t mspace_max_footprint(mspace msp) { return asState(msp)->maxFootprint; }

size_t mspace_footprint_limit(mspace msp)
{
    const size_t limit = asState(msp)->footprintLimit;
    return limit == 0 ? kMaxSize : limit;
}

size_t mspace_set_footprint_limit(mspace msp, size_t bytes)
{
    State* m = asState(msp);
    const size_t limit = bytes == kMaxSize ? 0 : granularityAlign(bytes);
    m->footprintLimit = limit;
    return limit;
}

mspace_mallinfo_record mspace_mallinfo(mspace msp)
{
    State* m = asState(msp);
    mspace_mallinfo_record r{};
    if (!m->top) return r;
    size_t sum = 0, freeBytes = 0, freeCount = 0;
    collectStats(m, &sum, &freeBytes, &freeCount);
    r.arena = sum;
    r.ordblks = freeCount;
    r.hblkhd = m->footprint - sum;
    r.usmblks = m->maxFootprint;
    r.uordblks = m->footprint - freeBytes;
    r.fordblks = freeBytes;
    r.keepcost = m->topSize;
    return r;
}

size_t mspace_usable_size(const void* mem)
{
    if (!mem) return 0;
    const Chunk* p = toChunk(mem);
    return isInuse(p) ? chunkSize(p) - kOverhead : 0;
}

int mspace_mallopt(int param, int value)
{
    ensureParams();
    const size_t val = value == -1 ? kMaxSize : size_t(value);
    switch (param) {
    case M_ARENA_TRIM_THRESHOLD:
        gParams.trimThreshold = val;
        return 1;
    case M_ARENA_GRANULARITY:
        if (val >= gParams.pageSize && (val & (val - 1)) == 0) {
            gParams.granularity = val;
            return 1;
        }
        return 0;
    case M_ARENA_MMAP_THRESHOLD:
        gParams.mmapThreshold = val;
        return 1;
    default:
        return 0;
    }
}

int mspace_track_large_chunks(mspace msp, int enable)
{
    State* m = asState(msp);
    const int was = (m->mflags & kUseMmap) == 0 ? 1 : 0;
    if (enable) m->mflags &= ~kUseMmap;
    else m->mflags |= kUseMmap;
    return was;
}
