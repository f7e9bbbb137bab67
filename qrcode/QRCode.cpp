// The component as the host sees it: properties, their setters and the redraw
// cycle that lays out the symbols. Drawing is in QRCodeDrawing.cpp, the PBM
// listing in QRCodePbm.cpp.
#include "QRCode.h"

#include <algorithm>
#include <utility>

#include "QRBitStream.h"
#include "QRCodeText.h"

namespace pavix::qr {

namespace {

bool InRange(std::int32_t value, std::int32_t low, std::int32_t high) { return value >= low && value <= high; }

// Restores what a redraw changes for its duration, also when drawing throws.
class TRedrawState {
 public:
  explicit TRedrawState(std::function<void()> restore) : restore_(std::move(restore)) {}
  ~TRedrawState() {
    if (restore_) restore_();
  }
  TRedrawState(const TRedrawState&) = delete;
  TRedrawState& operator=(const TRedrawState&) = delete;
  void Restore() { std::exchange(restore_, nullptr)(); }

 private:
  std::function<void()> restore_;
};

}  // namespace

TQRCode::TQRCode(const platform::IGraphics& graphics, platform::IClipboard* clipboard)
    : graphics_(graphics),
      clipboard_(clipboard),
      comFont_(graphics.DefaultFont()),
      clipboardHandler_([this] { ClipboardChanged(); }),
      encoder_(std::make_unique<TQRSymbolEncoder>()) {}

TQRCode::~TQRCode() {
  // Leave the viewer chain before anything it might call back is gone.
  clipWatch_ = false;
  clipboardWatch_.reset();
}

// --- Data -------------------------------------------------------------------

void TQRCode::DecodeData() {
  TDecodedCode decoded = qr::DecodeCode(code_, binaryOperation_);
  data_ = std::move(decoded.data);
  binary_ = decoded.binary;
  // A malformed escape turns escapes off for the texts that follow too.
  if (!decoded.escapesValid) binaryOperation_ = false;
}

void TQRCode::SetCode(const std::string& code) {
  DoChangeCode();
  code_ = code;
  DecodeData();
  RedrawSymbol();
  DoChangedCode();
}

void TQRCode::SetBinaryOperation(bool value) {
  binaryOperation_ = value;
  DecodeData();
  RedrawSymbol();
}

// --- Several symbols ----------------------------------------------------------

void TQRCode::SetMode(TQRMode mode) {
  switch (mode) {
    case TQRMode::qrSingle: layout_.count = 1; break;
    case TQRMode::qrConnect: layout_.count = std::clamp(layout_.count, 2, 16); break;
    case TQRMode::qrPlus: layout_.count = std::clamp(layout_.count, 2, kMaxSymbols); break;
    default: return;
  }
  StoreAndRedraw(layout_.mode, mode);
}

void TQRCode::SetCount(std::int32_t count) {
  if (InRange(count, 1, kMaxSymbols)) StoreAndRedraw(layout_.count, count);
}

void TQRCode::SetColumn(std::int32_t column) {
  if (InRange(column, 1, kMaxSymbols)) StoreAndRedraw(column_, column);
}

void TQRCode::SetNumbering(TNumbering numbering) {
  if (!InRange(static_cast<std::int32_t>(numbering), 0, 3)) return;
  numbering_ = numbering;
  if (layout_.count > 1) RedrawSymbol();
}

// --- Comments ---------------------------------------------------------------

void TQRCode::SetCommentUp(const std::string& text) { StoreAndRedraw(commentUp_, text); }
void TQRCode::SetCommentDown(const std::string& text) { StoreAndRedraw(commentDown_, text); }

void TQRCode::SetCommentUpLoc(TLocation location) {
  commentUpLoc_ = location;
  if (!commentUp_.empty()) RedrawSymbol();
}

void TQRCode::SetCommentDownLoc(TLocation location) {
  commentDownLoc_ = location;
  if (!commentDown_.empty()) RedrawSymbol();
}

void TQRCode::SetComFont(const platform::TFont& font) { StoreAndRedraw(comFont_, font); }

// --- Sizes --------------------------------------------------------------------

std::int32_t TQRCode::SymbolWidth() const { return (VersionInfo(version_).modules + 8) * pxmag_; }

std::int32_t TQRCode::SymbolWidthA() const { return std::min(layout_.count, column_) * SymbolWidthS(); }

std::int32_t TQRCode::SymbolHeightA() const {
  return (layout_.count + column_ - 1) / column_ * SymbolHeightS();
}

// --- Encoding ---------------------------------------------------------------

void TQRCode::SetVersion(std::int32_t version) {
  if (InRange(version, kMinVersion, kMaxVersion)) StoreAndRedraw(version_, version);
}

void TQRCode::SetEclevel(std::int32_t eclevel) {
  if (InRange(eclevel, 0, 3)) StoreAndRedraw(eclevel_, eclevel);
}

void TQRCode::SetEmode(std::int32_t emode) {
  if (emode != kModeNone && !InRange(emode, 0, 3)) return;
  emode_ = emodeR_ = emode;
  RedrawSymbol();
}

void TQRCode::SetMasktype(std::int32_t masktype) {
  if (masktype != kMaskAutomatic && !InRange(masktype, 0, 7)) return;
  masktype_ = masktypeR_ = masktype;
  RedrawSymbol();
}

std::int32_t TQRCode::Capacity() const { return qr::Capacity(version_, eclevel_, emodeR_, layout_.count); }

// --- Look -------------------------------------------------------------------

void TQRCode::SetPxmag(std::int32_t pxmag) {
  if (InRange(pxmag, 1, 10)) StoreAndRedraw(pxmag_, pxmag);
}

void TQRCode::SetAngle(std::int32_t angle) {
  if (angle == 0 || angle == 90 || angle == 180 || angle == 270) StoreAndRedraw(angle_, angle);
}

// Metafiles are only drawn to the control's own size; a transparent symbol
// needs the bitmap it is drawn over.
void TQRCode::SetMatch(bool value) {
  match_ = value;
  if (!value) symbolPicture_ = TPictures::picBMP;
  if (value) transparent_ = false;
  RedrawSymbol();
}

void TQRCode::SetTransparent(bool value) {
  transparent_ = value;
  if (value) {
    match_ = false;
    symbolPicture_ = TPictures::picBMP;
  }
  RedrawSymbol();
}

void TQRCode::SetSymbolPicture(TPictures picture) {
  if (!match_) {
    symbolPicture_ = TPictures::picBMP;
    return;
  }
  StoreAndRedraw(symbolPicture_, picture);
}

// --- State ------------------------------------------------------------------

void TQRCode::SetSymbolEnabled(bool value) {
  if (value == symbolEnabled_) return;
  symbolEnabled_ = value;
  if (value) RedrawSymbol();
}

void TQRCode::SetClearOption(bool value) {
  const bool turnedOn = value && !clearOption_;
  clearOption_ = value;
  if (turnedOn && !symbolDisped_) ClearSymbol();
}

void TQRCode::ClearSymbol() {
  symbolDisped_ = false;
  picture_.Clear();
}

// --- Redraw -----------------------------------------------------------------

void TQRCode::RedrawSymbol() {
  if (!symbolEnabled_) return;
  symbolDisped_ = false;
  SplitData(data_, layout_);
  if (const auto parity = CheckParameters(data_, layout_, column_)) parity_ = *parity;
  symbolIndex_ = 1;
  DoPaintSymbol();

  // Always start from a 32-bit bitmap; metafile mode replaces it at the first symbol.
  if (picture_.Bitmap() == nullptr) picture_.SetBitmap(graphics_.CreateBitmap(0, 0));
  platform::IBitmap& bitmap = *picture_.Bitmap();
  if (bitmap.Width() == 0 || bitmap.Height() == 0) bitmap.SetSize(width_, height_);

  const std::int32_t left0 = symbolLeft_;
  const std::int32_t top0 = symbolTop_;
  if (!match_) {
    // The symbols are drawn upright into the picture turned back, so that
    // turning it again afterwards puts them at (left0, top0) as the host sees it.
    if (angle_ == 90) {
      symbolLeft_ = top0;
      symbolTop_ = width_ - left0 - SymbolHeightA();
    } else if (angle_ == 180) {
      symbolLeft_ = width_ - SymbolWidthA() - left0;
      symbolTop_ = height_ - top0 - SymbolHeightA();
    } else if (angle_ == 270) {
      symbolLeft_ = height_ - top0 - SymbolWidthA();
      symbolTop_ = left0;
    }
    RotatePicture(360 - angle_);
  }

  const bool autoSize = autoSize_;
  const bool stretch = stretch_;
  autoSize_ = stretch_ = false;
  const bool bitmapMode = symbolPicture_ == TPictures::picBMP;
  const platform::TFont canvasFont = bitmap.Font();
  if (bitmapMode) bitmap.SetFont(comFont_);
  const std::string up0 = commentUp_;
  const std::string down0 = commentDown_;
  TRedrawState state([&] {
    recorder_.reset();
    commentDown_ = down0;
    commentUp_ = up0;
    symbolTop_ = top0;
    symbolLeft_ = left0;
    if (bitmapMode && picture_.Bitmap() != nullptr) picture_.Bitmap()->SetFont(canvasFont);
    stretch_ = stretch;
    autoSize_ = autoSize;
  });

  DrawSymbols();
  // A redraw stopped by an over-long piece still shows the symbols drawn so far.
  if (recorder_ != nullptr) FinishMetafile(false);
  state.Restore();

  if (!match_ || symbolDisped_) RotatePicture(angle_);
  DoPaintedSymbol();
  if (!symbolDisped_ && clearOption_ && !symbolDebug_) ClearSymbol();
}

void TQRCode::DrawSymbols() {
  const std::int32_t originLeft = symbolLeft_;
  const std::int32_t originTop = symbolTop_;
  const std::string up0 = commentUp_;
  const std::string down0 = commentDown_;
  for (std::int32_t k = symbolIndex_; k <= layout_.count; ++k) {
    symbolIndex_ = k;
    symbolDisped_ = false;
    symbolLeft_ = originLeft + (k - 1) % column_ * SymbolWidthS();
    symbolTop_ = originTop + (k - 1) / column_ * SymbolHeightS();

    if (layout_.count > 1) {
      const std::string number = std::to_string(k);
      switch (numbering_) {
        case TNumbering::nbrHead:
          commentUp_ = up0.empty() ? number : number + " " + up0;
          commentDown_ = down0.empty() ? number : number + " " + down0;
          break;
        case TNumbering::nbrTail:
          commentUp_ = up0.empty() ? number : up0 + " " + number;
          commentDown_ = down0.empty() ? number : down0 + " " + number;
          break;
        case TNumbering::nbrIfVoid:
          if (up0.empty()) commentUp_ = number;
          if (down0.empty()) commentDown_ = number;
          break;
        case TNumbering::nbrNone: break;
      }
    }

    const std::int32_t begin = layout_.offset[static_cast<std::size_t>(k - 1)];
    const std::int32_t end = layout_.offset[static_cast<std::size_t>(k)];
    if (end - begin > kMaxPieceBytes) break;
    const std::string_view piece = std::string_view(data_).substr(static_cast<std::size_t>(begin),
                                                                   static_cast<std::size_t>(end - begin));
    if (symbolPicture_ == TPictures::picBMP) {
      DrawBitmap(piece);
    } else {
      DrawMetafile(piece);
    }
    if (!symbolDisped_) break;
  }
}

bool TQRCode::EncodeSymbol(std::string_view piece) {
  const TEncodeSettings settings{version_, eclevel_, emode_, masktype_, usejis_};
  const TSymbolPosition position{layout_.mode, symbolIndex_, layout_.count, parity_};
  const auto mask = encoder_->Encode(piece, settings, position, emodeR_);
  if (!mask) return false;
  masktypeR_ = *mask;
  return true;
}

// --- Events -----------------------------------------------------------------

void TQRCode::DoChangeCode() {
  if (OnChangeCode && symbolEnabled_) OnChangeCode(*this, watch_);
}

void TQRCode::DoPaintSymbol() {
  if (OnPaintSymbol) OnPaintSymbol(*this, watch_);
}

void TQRCode::DoPaintedSymbol() {
  if (OnPaintedSymbol) OnPaintedSymbol(*this, watch_);
}

void TQRCode::DoChangedCode() {
  if (OnChangedCode && symbolEnabled_) OnChangedCode(*this, watch_);
}

void TQRCode::DoClipboardChange() {
  if (clipboardHandler_) clipboardHandler_();
}

// --- Clipboard --------------------------------------------------------------

void TQRCode::PasteFromClipboard() {
  if (clipboard_ == nullptr) return;
  if (const auto text = clipboard_->Text()) SetCode(*text);
}

void TQRCode::SetClipWatch(bool value) {
  // Registering announces a change of its own; it is not a new text.
  skipClipboardChange_ = !clipWatch_ && value;
  clipWatch_ = value;
  UpdateClipboardWatch();
}

void TQRCode::UpdateClipboardWatch() {
  const bool wanted = clipWatch_ && clipboardHandler_ && clipboard_ != nullptr;
  if (wanted == (clipboardWatch_ != nullptr)) return;
  if (!wanted) {
    clipboardWatch_.reset();
    return;
  }
  clipboardWatch_ = clipboard_->Watch([this] { DoClipboardChange(); },
                                      [this](const std::exception& error) {
                                        if (OnClipboardException) OnClipboardException(error);
                                      });
}

void TQRCode::ClipboardChanged() {
  if (std::exchange(skipClipboardChange_, false)) return;
  watch_ = true;
  TRedrawState endWatch([this] { watch_ = false; });
  PasteFromClipboard();
}

}  // namespace pavix::qr
