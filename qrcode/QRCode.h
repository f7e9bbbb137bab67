#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Clipboard.h"
#include "Graphics.h"
#include "QRPicture.h"
#include "QRPieces.h"
#include "QRSymbolEncoder.h"
#include "QRTypes.h"

// TQRCode: an image control that shows the QR symbols of its Code text. Each
// property that changes the symbol redraws it at once; one or more symbols are
// laid out in a grid with optional comments, as a bitmap or a metafile.
namespace pavix::qr {

enum class TNumbering : std::int32_t { nbrNone, nbrHead, nbrTail, nbrIfVoid };
enum class TLocation : std::int32_t { locLeft, locCenter, locRight };
enum class TPictures : std::int32_t { picBMP, picEMF, picWMF };

class TQRCode;
// `watch` is true when the change came from the clipboard watch.
using TNotifyWatchEvent = std::function<void(TQRCode& sender, bool watch)>;

class TQRCode {
 public:
  // `clipboard` may be null: copying and pasting then do nothing and the
  // watch never starts.
  explicit TQRCode(const platform::IGraphics& graphics = platform::SystemGraphics(),
                   platform::IClipboard* clipboard = platform::SystemClipboard());
  virtual ~TQRCode();
  TQRCode(const TQRCode&) = delete;
  TQRCode& operator=(const TQRCode&) = delete;

  // The image control.
  std::int32_t Width() const { return width_; }
  void SetWidth(std::int32_t width) { width_ = width; }
  std::int32_t Height() const { return height_; }
  void SetHeight(std::int32_t height) { height_ = height; }
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value) { autoSize_ = value; }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value) { stretch_ = value; }
  const TQRPicture& Picture() const { return picture_; }

  // Data.
  const std::string& Code() const { return code_; }
  void SetCode(const std::string& code);
  std::int32_t Len() const { return static_cast<std::int32_t>(data_.size()); }
  bool Binary() const { return binary_; }
  bool BinaryOperation() const { return binaryOperation_; }
  void SetBinaryOperation(bool value);
  bool Usejis() const { return usejis_; }
  void SetUsejis(bool value) { usejis_ = value; }

  // Several symbols.
  TQRMode Mode() const { return layout_.mode; }
  void SetMode(TQRMode mode);
  std::int32_t Count() const { return layout_.count; }
  void SetCount(std::int32_t count);
  std::int32_t Column() const { return column_; }
  void SetColumn(std::int32_t column);
  std::int32_t Parity() const { return static_cast<std::int32_t>(parity_); }
  TNumbering Numbering() const { return numbering_; }
  void SetNumbering(TNumbering numbering);

  // Comments above and below each symbol.
  const std::string& CommentUp() const { return commentUp_; }
  void SetCommentUp(const std::string& text);
  const std::string& CommentDown() const { return commentDown_; }
  void SetCommentDown(const std::string& text);
  TLocation CommentUpLoc() const { return commentUpLoc_; }
  void SetCommentUpLoc(TLocation location);
  TLocation CommentDownLoc() const { return commentDownLoc_; }
  void SetCommentDownLoc(TLocation location);
  const platform::TFont& ComFont() const { return comFont_; }
  void SetComFont(const platform::TFont& font);

  // Sizes, pixels.
  std::int32_t QuietZone() const { return 4 * pxmag_; }
  std::int32_t SymbolWidth() const;
  std::int32_t SymbolHeight() const { return SymbolWidth(); }
  std::int32_t SymbolWidthS() const { return SymbolWidth() + symbolSpaceLeft_ + symbolSpaceRight_; }
  std::int32_t SymbolHeightS() const { return SymbolHeight() + symbolSpaceUp_ + symbolSpaceDown_; }
  std::int32_t SymbolWidthA() const;
  std::int32_t SymbolHeightA() const;

  // Placement, pixels.
  std::int32_t SymbolLeft() const { return symbolLeft_; }
  void SetSymbolLeft(std::int32_t value) { StoreAndRedraw(symbolLeft_, value); }
  std::int32_t SymbolTop() const { return symbolTop_; }
  void SetSymbolTop(std::int32_t value) { StoreAndRedraw(symbolTop_, value); }
  std::int32_t SymbolSpaceUp() const { return symbolSpaceUp_; }
  void SetSymbolSpaceUp(std::int32_t value) { StoreAndRedraw(symbolSpaceUp_, value); }
  std::int32_t SymbolSpaceDown() const { return symbolSpaceDown_; }
  void SetSymbolSpaceDown(std::int32_t value) { StoreAndRedraw(symbolSpaceDown_, value); }
  std::int32_t SymbolSpaceLeft() const { return symbolSpaceLeft_; }
  void SetSymbolSpaceLeft(std::int32_t value) { StoreAndRedraw(symbolSpaceLeft_, value); }
  std::int32_t SymbolSpaceRight() const { return symbolSpaceRight_; }
  void SetSymbolSpaceRight(std::int32_t value) { StoreAndRedraw(symbolSpaceRight_, value); }

  // Encoding.
  std::int32_t Version() const { return version_; }
  void SetVersion(std::int32_t version);
  std::int32_t Eclevel() const { return eclevel_; }
  void SetEclevel(std::int32_t eclevel);
  std::int32_t Emode() const { return emode_; }
  void SetEmode(std::int32_t emode);
  std::int32_t EmodeR() const { return emodeR_; }
  std::int32_t Masktype() const { return masktype_; }
  void SetMasktype(std::int32_t masktype);
  std::int32_t MasktypeR() const { return masktypeR_; }
  std::int32_t Capacity() const;

  // Look.
  std::int32_t Pxmag() const { return pxmag_; }
  void SetPxmag(std::int32_t pxmag);
  std::int32_t Angle() const { return angle_; }
  void SetAngle(std::int32_t angle);
  bool Reverse() const { return reverse_; }
  void SetReverse(bool value) { StoreAndRedraw(reverse_, value); }
  bool Match() const { return match_; }
  void SetMatch(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  platform::TColor SymbolColor() const { return symbolColor_; }
  void SetSymbolColor(platform::TColor color) { StoreAndRedraw(symbolColor_, color); }
  platform::TColor BackColor() const { return backColor_; }
  void SetBackColor(platform::TColor color) { StoreAndRedraw(backColor_, color); }
  TPictures SymbolPicture() const { return symbolPicture_; }
  void SetSymbolPicture(TPictures picture);

  // State.
  bool SymbolEnabled() const { return symbolEnabled_; }
  void SetSymbolEnabled(bool value);
  bool SymbolDebug() const { return symbolDebug_; }
  void SetSymbolDebug(bool value) { symbolDebug_ = value; }
  bool SymbolDisped() const { return symbolDisped_; }
  bool ClearOption() const { return clearOption_; }
  void SetClearOption(bool value);
  bool ClipWatch() const { return clipWatch_; }
  void SetClipWatch(bool value);

  // The symbols of the last redraw as a plain PBM text, one line an entry;
  // rebuilt on every read.
  const std::vector<std::string>& PBM();

  // Events.
  TNotifyWatchEvent OnChangeCode;
  TNotifyWatchEvent OnPaintSymbol;
  TNotifyWatchEvent OnPaintedSymbol;
  TNotifyWatchEvent OnChangedCode;
  // What a clipboard notification raised: it must not escape into the
  // system's message dispatch.
  std::function<void(const std::exception&)> OnClipboardException;

  virtual void RedrawSymbol();
  virtual void ClearSymbol();
  virtual void CopyToClipboard();
  virtual void PasteFromClipboard();
  virtual void UpdateSymbol() { RedrawSymbol(); }

 protected:
  virtual void DoChangeCode();
  virtual void DoPaintSymbol();
  virtual void DoPaintedSymbol();
  virtual void DoChangedCode();
  virtual void DoClipboardChange();

 private:
  template <typename T>
  void StoreAndRedraw(T& member, const T& value) {
    member = value;
    RedrawSymbol();
  }

  void DecodeData();
  bool EncodeSymbol(std::string_view piece);
  void DrawSymbols();
  void DrawBitmap(std::string_view piece);
  void DrawMetafile(std::string_view piece);
  void FinishMetafile(bool enlarge);
  void DrawModules(platform::ICanvas& canvas) const;
  void DrawComments(platform::ICanvas& canvas, platform::TSize up, platform::TSize down) const;
  std::int32_t CommentOffset(std::int32_t width, TLocation location) const;
  void RotatePicture(std::int32_t angle);
  void MirrorPicture();
  void UpdateClipboardWatch();
  void ClipboardChanged();

  const platform::IGraphics& graphics_;
  platform::IClipboard* clipboard_;

  std::int32_t width_ = 105;
  std::int32_t height_ = 105;
  bool autoSize_ = false;
  bool stretch_ = false;
  TQRPicture picture_;
  std::unique_ptr<platform::IMetafileRecorder> recorder_;

  std::string code_;
  std::string data_;
  bool binary_ = true;
  bool binaryOperation_ = true;
  bool usejis_ = false;

  TPieceLayout layout_;
  std::int32_t column_ = 16;
  std::uint32_t parity_ = 0;
  std::int32_t symbolIndex_ = 1;
  TNumbering numbering_ = TNumbering::nbrIfVoid;

  std::string commentUp_;
  std::string commentDown_;
  TLocation commentUpLoc_ = TLocation::locLeft;
  TLocation commentDownLoc_ = TLocation::locLeft;
  platform::TFont comFont_;

  std::int32_t symbolLeft_ = 0;
  std::int32_t symbolTop_ = 0;
  std::int32_t symbolSpaceUp_ = 0;
  std::int32_t symbolSpaceDown_ = 0;
  std::int32_t symbolSpaceLeft_ = 0;
  std::int32_t symbolSpaceRight_ = 0;

  std::int32_t version_ = 1;
  std::int32_t eclevel_ = 0;
  std::int32_t emode_ = kModeNone;
  std::int32_t emodeR_ = kModeNone;
  std::int32_t masktype_ = kMaskAutomatic;
  std::int32_t masktypeR_ = kMaskAutomatic;

  std::int32_t pxmag_ = 1;
  std::int32_t angle_ = 0;
  bool reverse_ = false;
  bool match_ = true;
  bool transparent_ = false;
  platform::TColor symbolColor_ = platform::kBlack;
  platform::TColor backColor_ = platform::kWhite;
  TPictures symbolPicture_ = TPictures::picBMP;

  bool symbolEnabled_ = true;
  bool symbolDebug_ = false;
  bool symbolDisped_ = false;
  bool clearOption_ = false;
  bool clipWatch_ = false;
  bool skipClipboardChange_ = false;
  bool watch_ = false;
  // The component's own clipboard handler, set at construction.
  std::function<void()> clipboardHandler_;
  std::unique_ptr<platform::IClipboardWatch> clipboardWatch_;

  std::vector<std::string> pbm_;
  // Sized for version 40: encoding a symbol allocates nothing.
  std::unique_ptr<TQRSymbolEncoder> encoder_;
};

}  // namespace pavix::qr
