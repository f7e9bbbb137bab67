#include "MessageWindowDispatcher.h"

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>

#include "Win32ErrorText.h"

namespace pavix::platform {

namespace {

constexpr UINT kWorkMessage = WM_APP + 0x51;
constexpr const wchar_t* kWindowClass = L"PavixUiDispatcherWindow";

// A RunAndWait caller: its event is set when the work has run or has been
// dropped because the dispatcher closed.
struct Waiter {
  HANDLE event = nullptr;
  bool abandoned = false;
};

struct Item {
  std::function<void()> work;
  Waiter* waiter = nullptr;
};

}  // namespace

struct MessageWindowDispatcher::State {
  DWORD uiThread = GetCurrentThreadId();
  HWND window = nullptr;
  std::mutex mutex;
  std::condition_variable waitersLeft;
  std::deque<Item> queue;
  std::size_t waiting = 0;
  bool closed = false;
  std::size_t ran = 0;  // pieces of work run so far; UI thread only

  // Runs the work queued so far; true when anything ran.
  bool RunQueued() {
    std::deque<Item> batch;
    {
      std::lock_guard lock(mutex);
      batch.swap(queue);
    }
    for (Item& item : batch) {
      ++ran;
      item.work();
    }
    return !batch.empty();
  }
};

namespace {

LRESULT CALLBACK DispatcherWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kWorkMessage) {
    auto* state = reinterpret_cast<MessageWindowDispatcher::State*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (state != nullptr) state->RunQueued();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterWindowClassOnce() {
  static const bool registered = [] {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DispatcherWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  if (!registered) throw Exception("The UI queue's window class could not be registered: " + Win32ErrorText(GetLastError()));
}

}  // namespace

MessageWindowDispatcher::MessageWindowDispatcher() : state_(std::make_unique<State>()) {
  RegisterWindowClassOnce();
  state_->window = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
  if (state_->window == nullptr) throw Exception("The UI queue's window could not be made: " + Win32ErrorText(GetLastError()));
  SetWindowLongPtrW(state_->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state_.get()));
}

MessageWindowDispatcher::~MessageWindowDispatcher() {
  std::deque<Item> dropped;
  {
    std::unique_lock lock(state_->mutex);
    state_->closed = true;
    dropped.swap(state_->queue);
    for (Item& item : dropped) {
      if (item.waiter != nullptr) {
        item.waiter->abandoned = true;
        SetEvent(item.waiter->event);
      }
    }
    state_->waitersLeft.wait(lock, [this] { return state_->waiting == 0; });
  }
  SetWindowLongPtrW(state_->window, GWLP_USERDATA, 0);
  DestroyWindow(state_->window);
}

bool MessageWindowDispatcher::IsUiThread() const { return GetCurrentThreadId() == state_->uiThread; }

void MessageWindowDispatcher::RunAndWait(std::function<void()> work) {
  if (IsUiThread()) {
    work();
    return;
  }
  Waiter waiter;
  waiter.event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (waiter.event == nullptr) throw Exception("An event could not be made: " + Win32ErrorText(GetLastError()));
  std::exception_ptr error;
  auto wrapper = [&work, &error, &waiter] {
    try {
      work();
    } catch (...) {
      error = std::current_exception();
    }
    SetEvent(waiter.event);
  };
  {
    std::lock_guard lock(state_->mutex);
    if (state_->closed) {
      CloseHandle(waiter.event);
      throw DispatcherClosedError();
    }
    state_->queue.push_back({std::move(wrapper), &waiter});
    ++state_->waiting;
  }
  PostMessageW(state_->window, kWorkMessage, 0, 0);
  WaitForSingleObject(waiter.event, INFINITE);
  CloseHandle(waiter.event);
  {
    std::lock_guard lock(state_->mutex);
    --state_->waiting;
    state_->waitersLeft.notify_all();
    if (waiter.abandoned) throw DispatcherClosedError();
  }
  if (error) std::rethrow_exception(error);
}

void MessageWindowDispatcher::Post(std::function<void()> work) {
  {
    std::lock_guard lock(state_->mutex);
    if (state_->closed) throw DispatcherClosedError();
    state_->queue.push_back({std::move(work), nullptr});
  }
  PostMessageW(state_->window, kWorkMessage, 0, 0);
}

bool MessageWindowDispatcher::ProcessPending() {
  const std::size_t ranBefore = state_->ran;
  // Everything in the thread's message queue now, as a toolkit's "process
  // messages" does, so windows stay alive while a log line is added.
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));  // for the main loop to see
      break;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  state_->RunQueued();
  return state_->ran != ranBefore;
}

void MessageWindowDispatcher::ServeUntil(const std::function<bool()>& done) {
  MSG message;
  while (!done()) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (got < 0) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace pavix::platform
