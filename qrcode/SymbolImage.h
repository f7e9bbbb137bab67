#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "QRMatrix.h"

// A symbol as a grey image: dark modules black, light ones and the
// 4-module quiet zone white, each module `pxmag` × `pxmag` pixels.
namespace pavix::qr {

struct TGrayImage {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<std::uint8_t> pixels;  // rows top first, 0 black, 255 white
};

TGrayImage RenderSymbol(const TModuleMatrix& matrix, std::int32_t pxmag);

// The same image as a PNG file's bytes.
std::string SymbolPng(const TModuleMatrix& matrix, std::int32_t pxmag);

}  // namespace pavix::qr
