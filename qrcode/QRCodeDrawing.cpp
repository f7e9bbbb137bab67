// Drawing the symbols into the control's picture: the bitmap, the metafile,
// comments, turning and mirroring, and copying the picture to the clipboard.
#include <algorithm>

#include "BitmapTransform.h"
#include "QRCode.h"

namespace pavix::qr {

using platform::ICanvas;
using platform::TRect;
using platform::TSize;

void TQRCode::DrawBitmap(std::string_view piece) {
  if (!EncodeSymbol(piece)) return;
  if (symbolDebug_) {
    symbolDisped_ = true;
    return;
  }
  platform::IBitmap& bitmap = *picture_.Bitmap();
  const TSize up = bitmap.TextExtent(commentUp_);
  const TSize down = bitmap.TextExtent(commentDown_);
  const std::int32_t right = symbolLeft_ + SymbolWidthA();
  const std::int32_t bottom = symbolTop_ + SymbolHeightA();
  if (symbolIndex_ == 1) {
    if (match_) {
      width_ = right;
      height_ = bottom;
      bitmap.SetSize(width_, height_);
    }
    // The background once for the whole layout; later symbols only add modules.
    if (!transparent_) bitmap.FillRect(match_ ? TRect{0, 0, right, bottom} : TRect{symbolLeft_, symbolTop_, right, bottom},
                                       backColor_);
  }
  DrawModules(bitmap);
  DrawComments(bitmap, up, down);
  symbolDisped_ = true;
}

void TQRCode::DrawMetafile(std::string_view piece) {
  if (!EncodeSymbol(piece)) {
    if (symbolIndex_ > 1 && !symbolDebug_) FinishMetafile(false);
    return;
  }
  if (symbolDebug_) {
    symbolDisped_ = true;
    return;
  }
  if (symbolIndex_ == 1) {
    width_ = symbolLeft_ + SymbolWidthA();
    height_ = symbolTop_ + SymbolHeightA();
    recorder_ = graphics_.RecordMetafile(width_, height_);
    recorder_->FillRect({0, 0, width_, height_}, backColor_);
  }
  DrawModules(*recorder_);
  recorder_->SetFont(comFont_);
  const TSize up = recorder_->TextExtent(commentUp_);
  const TSize down = recorder_->TextExtent(commentDown_);
  DrawComments(*recorder_, up, down);
  // One pixel more each way, so that the right and bottom edges of the last
  // modules are inside the picture's frame.
  if (symbolIndex_ == layout_.count) FinishMetafile(true);
  symbolDisped_ = true;
}

void TQRCode::FinishMetafile(bool enlarge) {
  if (recorder_ == nullptr) return;
  std::unique_ptr<platform::IMetafile> metafile = recorder_->Finish();
  recorder_.reset();
  if (enlarge) metafile->SetSize(metafile->Width() + 1, metafile->Height() + 1);
  picture_.SetMetafile(std::move(metafile));
}

// Each run of dark modules in a row is one rectangle.
void TQRCode::DrawModules(ICanvas& canvas) const {
  const TModuleMatrix& matrix = encoder_->Matrix();
  const std::int32_t n = matrix.Modules();
  const std::int32_t p = pxmag_;
  const std::int32_t x0 = symbolLeft_ + symbolSpaceLeft_ + 4 * p;
  const std::int32_t y0 = symbolTop_ + symbolSpaceUp_ + 4 * p;
  for (std::int32_t r = 0; r < n; ++r) {
    for (std::int32_t c1 = 0; c1 < n;) {
      if (!matrix.IsDark(r, c1)) {
        ++c1;
        continue;
      }
      std::int32_t c2 = c1 + 1;
      while (c2 < n && matrix.IsDark(r, c2)) ++c2;
      canvas.FillRect({x0 + c1 * p, y0 + r * p, x0 + c2 * p, y0 + (r + 1) * p}, symbolColor_);
      c1 = c2;
    }
  }
}

std::int32_t TQRCode::CommentOffset(std::int32_t width, TLocation location) const {
  std::int32_t offset = 0;
  if (location == TLocation::locCenter) offset = (SymbolWidthS() - width) / 2;
  if (location == TLocation::locRight) offset = SymbolWidthS() - width;
  return std::max(offset, 0);
}

// Above the symbol at the top of its cell, or ending where the quiet zone
// begins when the space above is too low; below likewise. The quiet zone
// belongs to the symbol, so a comment never covers a module.
void TQRCode::DrawComments(ICanvas& canvas, TSize up, TSize down) const {
  if (!commentUp_.empty()) {
    canvas.TextOut(symbolLeft_ + CommentOffset(up.width, commentUpLoc_),
                   std::min(symbolTop_, symbolTop_ + symbolSpaceUp_ - up.height), commentUp_, backColor_);
  }
  if (!commentDown_.empty()) {
    const std::int32_t symbolBottom = symbolTop_ + symbolSpaceUp_ + SymbolHeight();
    canvas.TextOut(symbolLeft_ + CommentOffset(down.width, commentDownLoc_),
                   std::max(symbolBottom + symbolSpaceDown_ - down.height, symbolBottom), commentDown_, backColor_);
  }
}

void TQRCode::RotatePicture(std::int32_t angle) {
  platform::IBitmap* bitmap = picture_.Bitmap();
  if (bitmap == nullptr || symbolPicture_ != TPictures::picBMP) return;
  if (angle == 90 || angle == 180 || angle == 270) {
    platform::RotateClockwise(*bitmap, angle);
    if (angle != 180) std::swap(width_, height_);
  }
  MirrorPicture();
}

void TQRCode::MirrorPicture() {
  platform::IBitmap* bitmap = picture_.Bitmap();
  if (bitmap == nullptr || symbolPicture_ != TPictures::picBMP || !reverse_) return;
  platform::MirrorLeftRight(*bitmap);
}

void TQRCode::CopyToClipboard() {
  if (clipboard_ == nullptr) return;
  const platform::IBitmap* bitmap = picture_.Bitmap();
  const platform::IMetafile* metafile = picture_.Metafile();
  // A metafile goes in the form the host asked for; otherwise the picture
  // goes as what it holds.
  if (metafile != nullptr) {
    if (symbolDisped_ && symbolPicture_ == TPictures::picWMF) {
      clipboard_->PutMetafilePicture(*metafile);
    } else {
      clipboard_->PutEnhancedMetafile(*metafile);
    }
  } else if (bitmap != nullptr) {
    clipboard_->PutBitmap(*bitmap);
  }
}

}  // namespace pavix::qr
