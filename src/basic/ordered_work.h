// Work on a row of items spread over several threads, with what each item
// gives taken in the items' order on the calling thread: what comes out is
// the same whatever the number of threads and however they are scheduled.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <type_traits>
#include <vector>

namespace quellmar {

// One thread per core, or 1 when the system does not tell.
inline unsigned HardwareThreads() { return std::max(1u, std::thread::hardware_concurrency()); }

namespace detail {

// The items made so far and not yet taken, a few ahead of the one taken next,
// and the threads that make them besides the calling one.
template <typename Result, typename Make>
class OrderedWork {
 public:
  OrderedWork(std::size_t count, unsigned threads, Make& make)
      : count_(count), make_(make), slots_(kAheadPerThread * std::size_t{threads}) {
    try {
      for (unsigned t = 1; t < threads && t < count; ++t) workers_.emplace_back([this] { work(); });
    } catch (const std::system_error&) {
      // The system gives no more threads: the ones there do the work.
    }
  }
  // The workers finish the item in hand and end; the results never taken go.
  ~OrderedWork() {
    {
      const std::lock_guard lock(mutex_);
      stopped_ = true;
    }
    roomFreed_.notify_all();
    for (auto& worker : workers_) worker.join();
  }
  OrderedWork(const OrderedWork&) = delete;
  OrderedWork& operator=(const OrderedWork&) = delete;

  // The result of item i, the one after the item taken last; made here when
  // no worker has started it. Throws the error that making it threw.
  Result take(std::size_t i) {
    std::unique_lock lock(mutex_);
    Slot& slot = slots_[i % slots_.size()];
    while (!slot.done) {
      if (canStart()) {
        makeNext(lock);
      } else {
        ++waiting_;
        made_.wait(lock);
        --waiting_;
      }
    }
    Slot taken = std::move(slot);
    slot = Slot();
    ++taken_;
    if (idle_ > 0) roomFreed_.notify_one();
    lock.unlock();
    if (taken.error) std::rethrow_exception(taken.error);
    return std::move(*taken.result);
  }

 private:
  static constexpr std::size_t kAheadPerThread = 8;

  struct Slot {
    bool done = false;
    std::optional<Result> result;
    std::exception_ptr error;
  };

  // An item may start while it is in the row, before an item that failed,
  // and its slot is free: the items in slots are fewer than the slots.
  bool canStart() const {
    return !stopped_ && started_ < end_ && started_ < taken_ + slots_.size();
  }

  // Makes the next item not started yet, the lock released meanwhile.
  void makeNext(std::unique_lock<std::mutex>& lock) {
    const std::size_t i = started_++;
    lock.unlock();
    Slot made;
    try {
      made.result.emplace(make_(i));
    } catch (...) {
      made.error = std::current_exception();
    }
    made.done = true;
    lock.lock();
    if (made.error) end_ = std::min(end_, i + 1);  // nothing after it starts
    slots_[i % slots_.size()] = std::move(made);
    if (waiting_ > 0) made_.notify_one();
  }

  void work() {
    std::unique_lock lock(mutex_);
    while (!stopped_ && started_ < end_) {
      if (canStart()) {
        makeNext(lock);
      } else {
        ++idle_;
        roomFreed_.wait(lock);
        --idle_;
      }
    }
  }

  const std::size_t count_;
  Make& make_;
  std::mutex mutex_;
  std::condition_variable made_;       // an item is made: the calling thread may take it
  std::condition_variable roomFreed_;  // an item is taken: a worker may start another
  std::vector<Slot> slots_;            // item i in slot i % size
  std::size_t started_ = 0;
  std::size_t taken_ = 0;
  std::size_t end_ = count_;  // the items from here on are not made
  int waiting_ = 0;
  int idle_ = 0;
  bool stopped_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace detail

// For each item i from 0 to count - 1, in order, on the calling thread:
// begin(i), then take(i, make(i)). make runs on up to threads threads, the
// calling one among them (with 1 every item is made there, one after the
// other), a few items ahead of the one taken. When make(i) throws, the error
// is thrown here right after begin(i): no later item is begun, and those not
// started yet are never made. Returns, or throws, once every thread has
// stopped.
template <typename Make, typename Begin, typename Take>
void MakeInOrder(std::size_t count, unsigned threads, Make make, Begin begin, Take take) {
  using Result = std::invoke_result_t<Make&, std::size_t>;
  detail::OrderedWork<Result, Make> work(count, std::max(threads, 1u), make);
  for (std::size_t i = 0; i < count; ++i) {
    begin(i);
    take(i, work.take(i));
  }
}

}  // namespace quellmar
