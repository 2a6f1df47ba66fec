#pragma once
// Independent heaps ("arenas") over anonymous private mappings.
// An arena holds no lock: only one task at a time may use it (each thread owns its own).
// Misuse (a foreign handle, a block with a broken footer) and broken free lists end the
// process through abort; exhaustion returns null.
#include <cstddef>
#include <cstdint>

typedef void* mspace;

// The statistics record of mspace_mallinfo, fields in their fixed order.
struct mspace_mallinfo_record {
    uint64_t arena;     // top size + top foot + every chunk of the segments
    uint64_t ordblks;   // free chunks, the top counted as one
    uint64_t smblks;    // always 0
    uint64_t hblks;     // always 0
    uint64_t hblkhd;    // footprint not counted in arena (own mappings, segment feet)
    uint64_t usmblks;   // largest footprint so far
    uint64_t fsmblks;   // always 0
    uint64_t uordblks;  // bytes in use
    uint64_t fordblks;  // free bytes (top and top foot included)
    uint64_t keepcost;  // top size
};

// mspace_mallopt parameter numbers.
constexpr int M_ARENA_TRIM_THRESHOLD = -1;
constexpr int M_ARENA_GRANULARITY = -2;
constexpr int M_ARENA_MMAP_THRESHOLD = -3;

// Maps capacity + bookkeeping rounded to the granularity; null when out of range or unmappable.
// `locked` has no effect.
mspace create_mspace(size_t capacity, int locked);
// Builds the arena inside caller memory, which is never unmapped; it grows by own mappings.
mspace create_mspace_with_base(void* base, size_t capacity, int locked);
// Unmaps every segment the arena mapped itself; returns their byte count.
size_t destroy_mspace(mspace msp);

void* mspace_malloc(mspace msp, size_t bytes);
// The owning arena comes from the block's footer; `msp` is not used.
void mspace_free(mspace msp, void* mem);
void* mspace_calloc(mspace msp, size_t count, size_t elemSize);
void* mspace_realloc(mspace msp, void* mem, size_t bytes);
void* mspace_realloc_in_place(mspace msp, void* mem, size_t bytes);
void* mspace_memalign(mspace msp, size_t alignment, size_t bytes);
void** mspace_independent_calloc(mspace msp, size_t count, size_t elemSize, void* chunks[]);
void** mspace_independent_comalloc(mspace msp, size_t count, size_t sizes[], void* chunks[]);
// Frees the entries of this arena and nulls them; returns how many stayed.
size_t mspace_bulk_free(mspace msp, void* array[], size_t count);
int mspace_trim(mspace msp, size_t pad);
void mspace_malloc_stats(mspace msp);
size_t mspace_footprint(mspace msp);
size_t mspace_max_footprint(mspace msp);
size_t mspace_footprint_limit(mspace msp);
size_t mspace_set_footprint_limit(mspace msp, size_t bytes);
mspace_mallinfo_record mspace_mallinfo(mspace msp);
size_t mspace_usable_size(const void* mem);
// Process-wide: changes the parameter for every arena.
int mspace_mallopt(int param, int value);
int mspace_track_large_chunks(mspace msp, int enable);
