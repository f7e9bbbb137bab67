#include "ValueBlocks.h"

#include <mutex>
#include <new>
#include <vector>

namespace pavix::value_blocks {

namespace {

struct FreeBlock {
  FreeBlock* next;
};

// A list of free blocks, moved between a thread and the shared store whole,
// so that no move walks the list.
struct Batch {
  FreeBlock* head = nullptr;
  std::size_t count = 0;
};

// A thread hands its blocks over once it holds this many.
constexpr std::size_t kBatchSize = 1024;
// The shared store keeps at most this many (4 MB): enough for the numbers
// of a large raster job, not an ever growing reserve.
constexpr std::size_t kSharedLimit = std::size_t{1} << 17;

void DeleteAll(FreeBlock* list) {
  while (list != nullptr) {
    FreeBlock* next = list->next;
    ::operator delete(static_cast<void*>(list));
    list = next;
  }
}

class SharedStore {
 public:
  SharedStore() { batches_.reserve(kSharedLimit / kBatchSize + 1); }
  ~SharedStore() {
    for (const Batch& batch : batches_) DeleteAll(batch.head);
  }
  SharedStore(const SharedStore&) = delete;
  SharedStore& operator=(const SharedStore&) = delete;

  Batch Take() {
    const std::lock_guard lock(mutex_);
    if (batches_.empty()) return {};
    const Batch batch = batches_.back();
    batches_.pop_back();
    count_ -= batch.count;
    return batch;
  }

  void Give(Batch batch) {
    if (batch.head == nullptr) return;
    {
      const std::lock_guard lock(mutex_);
      if (count_ + batch.count <= kSharedLimit && batches_.size() < batches_.capacity()) {
        batches_.push_back(batch);
        count_ += batch.count;
        return;
      }
    }
    DeleteAll(batch.head);
  }

 private:
  std::mutex mutex_;
  std::vector<Batch> batches_;
  std::size_t count_ = 0;
};

SharedStore& Shared() {
  static SharedStore store;
  return store;
}

// Plain data, so that it stays usable to the very end of the thread.
struct ThreadCache {
  Batch blocks;
  bool guarded = false;  // a CacheGuard exists for this thread
  bool closed = false;   // the thread is ending: blocks go straight to the heap
};
thread_local ThreadCache cache;

// Hands the thread's blocks to the shared store when the thread ends. It is
// destroyed before any object of static storage, the store included.
struct CacheGuard {
  ~CacheGuard() {
    cache.closed = true;
    Shared().Give(cache.blocks);
    cache.blocks = {};
  }
};

void Guard() {
  thread_local CacheGuard guard;
  cache.guarded = true;
}

}  // namespace

void* Allocate() {
  if (cache.blocks.head == nullptr && !cache.closed) {
    cache.blocks = Shared().Take();
    if (cache.blocks.head != nullptr && !cache.guarded) Guard();
  }
  FreeBlock* block = cache.blocks.head;
  if (block == nullptr) return ::operator new(kBlockSize);
  cache.blocks.head = block->next;
  --cache.blocks.count;
  return block;
}

void Release(void* block) noexcept {
  if (cache.closed) {
    ::operator delete(block);
    return;
  }
  if (!cache.guarded) Guard();
  auto* freed = static_cast<FreeBlock*>(block);
  freed->next = cache.blocks.head;
  cache.blocks.head = freed;
  if (++cache.blocks.count >= kBatchSize) {
    Shared().Give(cache.blocks);
    cache.blocks = {};
  }
}

}  // namespace pavix::value_blocks
