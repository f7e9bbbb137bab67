// The clipboard of Windows: text, bitmap, enhanced metafile and metafile
// picture formats, and change notification through the clipboard viewer chain.
#include <windows.h>

#include <cstring>
#include <utility>
#include <vector>

#include "Clipboard.h"
#include "Exception.h"
#include "GdiMetafile.h"
#include "Win32ErrorText.h"

namespace pavix::platform {

namespace {

[[noreturn]] void Fail(const std::string& step) {
  throw Exception(step + ": " + Win32ErrorText(::GetLastError()));
}

struct WindowDestroyer {
  void operator()(HWND window) const { ::DestroyWindow(window); }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

struct GlobalFreer {
  void operator()(HGLOBAL memory) const { ::GlobalFree(memory); }
};
using UniqueGlobal = std::unique_ptr<void, GlobalFreer>;

struct MetafileDeleter {
  void operator()(HMETAFILE metafile) const { ::DeleteMetaFile(metafile); }
};
using UniqueMetafile = std::unique_ptr<std::remove_pointer_t<HMETAFILE>, MetafileDeleter>;

constexpr char kWindowClass[] = "PavixClipboardWindow";

// The window procedure of the hidden windows: clipboard viewers find their
// watch through the window's user data.
LRESULT CALLBACK ClipboardWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

UniqueWindow CreateHiddenWindow(void* owner) {
  static const ATOM atom = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ClipboardWindowProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kWindowClass;
    return ::RegisterClassA(&windowClass);
  }();
  if (atom == 0) Fail("RegisterClass");
  // A top-level window that is never shown: message-only windows cannot join
  // the viewer chain.
  UniqueWindow window(::CreateWindowExA(0, kWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                        ::GetModuleHandleA(nullptr), nullptr));
  if (!window) Fail("CreateWindowEx");
  ::SetWindowLongPtrA(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
  return window;
}

// Open for the length of a scope. Another program may hold it for a moment.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner) {
    for (int attempt = 0; !::OpenClipboard(owner); ++attempt) {
      if (attempt == 10) Fail("OpenClipboard");
      ::Sleep(20);
    }
  }
  ~OpenedClipboard() { ::CloseClipboard(); }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
};

class TWin32ClipboardWatch final : public IClipboardWatch {
 public:
  TWin32ClipboardWatch(std::function<void()> changed, std::function<void(const std::exception&)> failed)
      : changed_(std::move(changed)), failed_(std::move(failed)), window_(CreateHiddenWindow(this)) {
    // Joining the chain sends the first change notification at once.
    ::SetLastError(0);
    next_ = ::SetClipboardViewer(window_.get());
    if (next_ == nullptr && ::GetLastError() != 0) Fail("SetClipboardViewer");
  }
  ~TWin32ClipboardWatch() override { ::ChangeClipboardChain(window_.get(), next_); }
  TWin32ClipboardWatch(const TWin32ClipboardWatch&) = delete;
  TWin32ClipboardWatch& operator=(const TWin32ClipboardWatch&) = delete;

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_DRAWCLIPBOARD:
        Guarded([this] { changed_(); });
        if (next_ != nullptr) ::SendMessageA(next_, message, wParam, lParam);
        return 0;
      case WM_CHANGECBCHAIN:
        if (reinterpret_cast<HWND>(wParam) == next_) {
          next_ = reinterpret_cast<HWND>(lParam);
        } else if (next_ != nullptr) {
          ::SendMessageA(next_, message, wParam, lParam);
        }
        return 0;
      default: return ::DefWindowProcA(window_.get(), message, wParam, lParam);
    }
  }

 private:
  // No exception may cross the system's message dispatch.
  template <typename F>
  void Guarded(F&& work) {
    try {
      work();
    } catch (const std::exception& error) {
      if (failed_) failed_(error);
    } catch (...) {
      if (failed_) failed_(Exception("unknown error in a clipboard notification"));
    }
  }

  std::function<void()> changed_;
  std::function<void(const std::exception&)> failed_;
  UniqueWindow window_;
  HWND next_ = nullptr;
};

LRESULT CALLBACK ClipboardWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* watch = reinterpret_cast<TWin32ClipboardWatch*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (watch == nullptr) return ::DefWindowProcA(window, message, wParam, lParam);
  return watch->Handle(message, wParam, lParam);
}

const TGdiMetafile& SystemMetafile(const IMetafile& metafile) {
  const auto* gdi = dynamic_cast<const TGdiMetafile*>(&metafile);
  if (gdi == nullptr) throw Exception("the clipboard takes only metafiles recorded by the system");
  return *gdi;
}

class TWin32Clipboard final : public IClipboard {
 public:
  std::optional<std::string> Text() override {
    const OpenedClipboard open(Owner());
    if (!::IsClipboardFormatAvailable(CF_TEXT)) return std::nullopt;
    HANDLE data = ::GetClipboardData(CF_TEXT);
    if (data == nullptr) return std::nullopt;
    const auto* text = static_cast<const char*>(::GlobalLock(data));
    if (text == nullptr) return std::nullopt;
    std::string result(text, strnlen(text, ::GlobalSize(data)));
    ::GlobalUnlock(data);
    return result;
  }

  void PutText(const std::string& text) override {
    UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1));
    if (!memory) Fail("GlobalAlloc");
    auto* bytes = static_cast<char*>(::GlobalLock(memory.get()));
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    ::GlobalUnlock(memory.get());
    Put(CF_TEXT, std::move(memory));
  }

  void PutBitmap(const IBitmap& bitmap) override {
    const ScreenDc screen;
    UniqueBitmap handle(::CreateCompatibleBitmap(screen.get(), bitmap.Width(), bitmap.Height()));
    if (!handle) Fail("CreateCompatibleBitmap");
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = bitmap.Width();
    info.bmiHeader.biHeight = -bitmap.Height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    if (::SetDIBits(screen.get(), handle.get(), 0, static_cast<UINT>(bitmap.Height()), bitmap.Pixels().data(), &info,
                    DIB_RGB_COLORS) == 0) {
      Fail("SetDIBits");
    }
    Put(CF_BITMAP, std::move(handle));
  }

  void PutEnhancedMetafile(const IMetafile& metafile) override {
    UniqueEnhMetafile copy(::CopyEnhMetaFileA(SystemMetafile(metafile).Handle(), nullptr));
    if (!copy) Fail("CopyEnhMetaFile");
    Put(CF_ENHMETAFILE, std::move(copy));
  }

  void PutMetafilePicture(const IMetafile& metafile) override {
    const ScreenDc screen;
    const HENHMETAFILE source = SystemMetafile(metafile).Handle();
    const UINT size = ::GetWinMetaFileBits(source, 0, nullptr, MM_ANISOTROPIC, screen.get());
    if (size == 0) Fail("GetWinMetaFileBits");
    std::vector<BYTE> bits(size);
    ::GetWinMetaFileBits(source, size, bits.data(), MM_ANISOTROPIC, screen.get());
    UniqueMetafile old(::SetMetaFileBitsEx(size, bits.data()));
    if (!old) Fail("SetMetaFileBitsEx");
    UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE, sizeof(METAFILEPICT)));
    if (!block) Fail("GlobalAlloc");
    auto* picture = static_cast<METAFILEPICT*>(::GlobalLock(block.get()));
    picture->mm = MM_ANISOTROPIC;
    picture->xExt = ScreenPixelsToHundredthsMm(screen.get(), metafile.Width(), true);
    picture->yExt = ScreenPixelsToHundredthsMm(screen.get(), metafile.Height(), false);
    picture->hMF = old.get();
    ::GlobalUnlock(block.get());
    Put(CF_METAFILEPICT, std::move(block));
    // The block on the clipboard now owns the metafile too.
    old.release();
  }

  std::unique_ptr<IClipboardWatch> Watch(std::function<void()> changed,
                                         std::function<void(const std::exception&)> failed) override {
    return std::make_unique<TWin32ClipboardWatch>(std::move(changed), std::move(failed));
  }

 private:
  // Emptying the clipboard makes the opening window its owner; without an
  // owner the system refuses the data.
  HWND Owner() {
    if (!owner_) owner_ = CreateHiddenWindow(nullptr);
    return owner_.get();
  }

  // The system owns `data` once it is placed; until then its owner frees it.
  template <typename Handle>
  void Put(UINT format, Handle data) {
    const OpenedClipboard open(Owner());
    if (!::EmptyClipboard()) Fail("EmptyClipboard");
    if (::SetClipboardData(format, data.get()) == nullptr) Fail("SetClipboardData");
    data.release();
  }

  UniqueWindow owner_;
};

}  // namespace

IClipboard* SystemClipboard() {
  static TWin32Clipboard clipboard;
  return &clipboard;
}

}  // namespace pavix::platform
