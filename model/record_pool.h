// Room for the records of one block, taken from the system a large chunk at
// a time instead of one heap allocation per record: reading a large model
// then pays for a few fresh pages per thousand records, not for an allocator
// header and a call per line. The block destroys its records in place and
// gives their room back here; `Release` frees every chunk with the block.
//
// A record placed here stays an ordinary object for whoever takes it over:
// `delete` on it reaches `CFemInput::operator delete`, which finds its chunk
// through `FreeDeleted`. Such a chunk outlives its pool until its last record
// is deleted.
//
// Under AddressSanitizer freed room is poisoned and never handed out again
// while the pool lives, so that a stale pointer to a destroyed record is
// reported instead of reading the record placed after it.
#pragma once
#include <cstddef>
#include <new>
#include <stdexcept>
#include <utility>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define OV_RECORD_POOL_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define OV_RECORD_POOL_ASAN 1
#endif
#endif

class CRecordPool {
 public:
  // Room for objects of `size` bytes aligned to `align`.
  CRecordPool(size_t size, size_t align);
  ~CRecordPool() { Release(); }
  CRecordPool(const CRecordPool&) = delete;
  CRecordPool& operator=(const CRecordPool&) = delete;

#ifdef OV_RECORD_POOL_ASAN
  static constexpr bool kReusesFreedRoom = false;
#else
  static constexpr bool kReusesFreedRoom = true;
#endif

  // Room for one object (never null; throws std::bad_alloc).
  void* Allocate();
  // Room of an object of this pool whose destructor has run: the next
  // `Allocate` hands it out again (in ASan builds never, see above).
  void Free(void* p);
  // True when `p` lies in one of this pool's chunks.
  bool Owns(const void* p) const { return Find(p) != nullptr; }
  // A new T placed here. A T larger or more strictly aligned than the
  // pool's room is refused with std::length_error, nothing placed.
  template <class T, class... Args>
  T* Make(Args&&... args) {
    if (!Fits(sizeof(T), alignof(T))) throw std::length_error("record larger than its pool's room");
    void* room = Allocate();
    try {
      return ::new (room) T(std::forward<Args>(args)...);
    } catch (...) {
      Free(room);
      throw;
    }
  }
  bool Fits(size_t size, size_t align) const { return size <= m_size && align <= m_align; }
  // Destroys an object: in place with its room given back when it lies
  // here, through `delete` when it came from the heap.
  template <class T>
  void Destroy(T* p) {
    if (!p) return;
    if (Owns(p)) {
      p->~T();
      Free(p);
    } else {
      delete p;
    }
  }

  // Gives the pages past the last object placed back to the system: a
  // block read to its end would otherwise keep up to a huge page of room it
  // never uses. Objects placed there later get fresh pages.
  void Trim();

  // Frees every chunk; chunks that still hold objects handed to another
  // owner are freed when the last of those is deleted. Every object the
  // pool still holds must have been destroyed.
  void Release();

  // Room of an object deleted with `delete`: when it lies in a chunk of
  // any pool, the room is poisoned and counted off its chunk, never handed
  // out again, and the chunk is freed when its pool is gone and this was its
  // last object; true then. False when it is not a pool's (the caller frees
  // it to the heap).
  static bool FreeDeleted(void* p, size_t size);

  // Chunks of at least this many bytes are aligned to it and offered to
  // the kernel for huge pages (0 turns that off).
  static size_t s_hugeChunk;

  struct Chunk;

 private:
  void Grow();
  Chunk* Find(const void* p) const;

  size_t m_size = 0;
  size_t m_align;
  std::vector<Chunk*> m_chunks;  // in address order
  Chunk* m_current = nullptr;    // the chunk bumped from
  mutable Chunk* m_last = nullptr;  // the chunk Find found last
  char* m_next = nullptr;        // its first unused byte
  char* m_end = nullptr;
  void* m_free = nullptr;        // freed room, linked through its first bytes
  size_t m_nextBytes;            // size of the next chunk
};
