#include "framework/PixelMemory.h"

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>

namespace pixel_memory {

namespace {

// --- Mapped transparent pixels --------------------------------------------------

// The shared pattern: this many bytes of transparent pixels, mapped as often
// as a buffer needs. A multiple of every page size in use.
constexpr std::size_t kPatternBytes = std::size_t{2} << 20;

std::size_t PageSize() {
  static const std::size_t size = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  return size;
}

std::size_t RoundUp(std::size_t n, std::size_t to) { return (n + to - 1) / to * to; }

// A memory file holding the pattern, made once; -1 when the system has none.
int PatternFile() {
  static const int file = [] {
    const int f = memfd_create("pixelmoth-transparent", MFD_CLOEXEC);
    if (f < 0) return -1;
    void* p = MAP_FAILED;
    if (ftruncate(f, static_cast<off_t>(kPatternBytes)) == 0)
      p = mmap(nullptr, kPatternBytes, PROT_READ | PROT_WRITE, MAP_SHARED, f, 0);
    if (p == MAP_FAILED) {
      close(f);
      return -1;
    }
    std::fill_n(static_cast<Color*>(p), kPatternBytes / sizeof(Color), Color{0, 0, 0, 255});
    munmap(p, kPatternBytes);
    return f;
  }();
  return file;
}

// --- Watched ranges and the fault handler -----------------------------------------

// Read by the handler, which may take no lock: a range is published by
// storing its end, then its begin; cleared by storing begin 0.
struct Slot {
  std::atomic<std::uintptr_t> begin{0};
  std::atomic<std::uintptr_t> end{0};
  std::atomic<bool> written{false};
};
constexpr int kSlots = 256;
Slot slots[kSlots];

struct sigaction previous;

void OnFault(int signal, siginfo_t* info, void* context) {
  const auto at = reinterpret_cast<std::uintptr_t>(info->si_addr);
  if (info->si_code == SEGV_ACCERR) {
    for (Slot& s : slots) {
      const std::uintptr_t b = s.begin.load(std::memory_order_acquire);
      const std::uintptr_t e = s.end.load(std::memory_order_acquire);
      if (b != 0 && at >= b && at < e) {
        s.written.store(true, std::memory_order_release);
        mprotect(reinterpret_cast<void*>(b), e - b, PROT_READ | PROT_WRITE);
        return;  // the write runs again, now allowed
      }
    }
  }
  // Not a watched page: whoever handled such faults before does.
  if (previous.sa_flags & SA_SIGINFO) {
    previous.sa_sigaction(signal, info, context);
  } else if (previous.sa_handler == SIG_DFL || previous.sa_handler == SIG_IGN) {
    sigaction(SIGSEGV, &previous, nullptr);  // the fault comes again and ends the process
  } else {
    previous.sa_handler(signal);
  }
}

void InstallHandler() {
  static std::once_flag once;
  std::call_once(once, [] {
    struct sigaction action {};
    action.sa_sigaction = OnFault;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    sigaction(SIGSEGV, &action, &previous);
  });
}

int TakeSlot(std::uintptr_t begin, std::uintptr_t end) {
  for (int i = 0; i < kSlots; ++i) {
    Slot& s = slots[i];
    if (s.begin.load(std::memory_order_acquire) != 0 || s.end.load(std::memory_order_acquire) != 0) continue;
    s.written.store(false, std::memory_order_relaxed);
    s.end.store(end, std::memory_order_release);
    s.begin.store(begin, std::memory_order_release);
    return i;
  }
  return -1;
}

void FreeSlot(int i) {
  slots[i].begin.store(0, std::memory_order_release);
  slots[i].end.store(0, std::memory_order_release);
}

}  // namespace

Color* MapTransparent(std::size_t count) {
  const int file = PatternFile();
  if (file < 0 || count == 0) return nullptr;
  const std::size_t bytes = RoundUp(count * sizeof(Color), PageSize());
  void* base = mmap(nullptr, bytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (base == MAP_FAILED) return nullptr;
  for (std::size_t at = 0; at < bytes; at += kPatternBytes) {
    const std::size_t n = std::min(kPatternBytes, bytes - at);
    if (mmap(static_cast<char*>(base) + at, n, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_FIXED, file, 0) ==
        MAP_FAILED) {
      munmap(base, bytes);
      return nullptr;
    }
  }
  return static_cast<Color*>(base);
}

void Unmap(Color* pixels, std::size_t count) noexcept {
  munmap(pixels, RoundUp(count * sizeof(Color), PageSize()));
}

bool WriteWatch::Start(const Color* pixels, std::size_t count) {
  Stop();
  begin_ = reinterpret_cast<const std::uint8_t*>(pixels);
  const std::uint8_t* end = begin_ + count * sizeof(Color);
  const std::size_t page = PageSize();
  const auto b = reinterpret_cast<std::uintptr_t>(begin_), e = reinterpret_cast<std::uintptr_t>(end);
  const std::uintptr_t pb = RoundUp(b, page), pe = e / page * page;
  if (pe > pb) {
    InstallHandler();
    slot_ = TakeSlot(pb, pe);
    if (slot_ < 0) return false;
    if (mprotect(reinterpret_cast<void*>(pb), pe - pb, PROT_READ) != 0) {
      FreeSlot(slot_);
      slot_ = -1;
      return false;
    }
    pagesBegin_ = reinterpret_cast<const std::uint8_t*>(pb);
    pagesEnd_ = reinterpret_cast<const std::uint8_t*>(pe);
  } else {
    pagesBegin_ = pagesEnd_ = end;  // no page of its own: all compared
  }
  head_.assign(begin_, pagesBegin_);
  tail_.assign(pagesEnd_, end);
  active_ = true;
  return true;
}

bool WriteWatch::Grow(const Color* pixels, std::size_t count) {
  const auto* begin = reinterpret_cast<const std::uint8_t*>(pixels);
  const std::uint8_t* end = begin + count * sizeof(Color);
  if (slot_ < 0 || Written() || begin > begin_ || end < pagesEnd_ + tail_.size()) return Start(pixels, count);
  const std::size_t page = PageSize();
  const auto pb = RoundUp(reinterpret_cast<std::uintptr_t>(begin), page);
  const auto pe = reinterpret_cast<std::uintptr_t>(end) / page * page;
  const auto oldBegin = reinterpret_cast<std::uintptr_t>(pagesBegin_);
  const auto oldEnd = reinterpret_cast<std::uintptr_t>(pagesEnd_);
  // Widened as a range is published, end first, before any page added is
  // protected: the handler reads a range that holds every protected page.
  slots[slot_].end.store(pe, std::memory_order_release);
  slots[slot_].begin.store(pb, std::memory_order_release);
  pagesBegin_ = reinterpret_cast<const std::uint8_t*>(pb);
  pagesEnd_ = reinterpret_cast<const std::uint8_t*>(pe);
  if ((pb < oldBegin && mprotect(reinterpret_cast<void*>(pb), oldBegin - pb, PROT_READ) != 0) ||
      (pe > oldEnd && mprotect(reinterpret_cast<void*>(oldEnd), pe - oldEnd, PROT_READ) != 0))
    return Start(pixels, count);  // which lifts what was protected
  begin_ = begin;
  head_.assign(begin_, pagesBegin_);
  tail_.assign(pagesEnd_, end);
  return true;
}

void WriteWatch::Stop() noexcept {
  if (slot_ >= 0) {
    // After a write the handler has lifted the protection already.
    if (!slots[slot_].written.load(std::memory_order_acquire))
      mprotect(const_cast<std::uint8_t*>(pagesBegin_), static_cast<std::size_t>(pagesEnd_ - pagesBegin_),
               PROT_READ | PROT_WRITE);
    FreeSlot(slot_);
    slot_ = -1;
  }
  active_ = false;
  head_.clear();
  tail_.clear();
}

bool WriteWatch::Written() const noexcept {
  if (!active_) return true;
  if (slot_ >= 0 && slots[slot_].written.load(std::memory_order_acquire)) return true;
  return (!head_.empty() && std::memcmp(head_.data(), begin_, head_.size()) != 0) ||
         (!tail_.empty() && std::memcmp(tail_.data(), pagesEnd_, tail_.size()) != 0);
}

}  // namespace pixel_memory
