#include "QRSegments.h"

#include <array>

#include "QRVersionTable.h"

namespace pavix::qr {

namespace {

constexpr std::string_view kAlphanumerics = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";

constexpr std::array<std::int8_t, 256> BuildClasses() {
  std::array<std::int8_t, 256> classes{};
  classes.fill(static_cast<std::int8_t>(kModeByte));
  for (const char c : kAlphanumerics) classes[static_cast<unsigned char>(c)] = kModeAlphanumeric;
  for (char c = '0'; c <= '9'; ++c) classes[static_cast<unsigned char>(c)] = kModeNumeric;
  for (int b = 0x81; b <= 0x9F; ++b) classes[b] = kModeKanji;
  for (int b = 0xE0; b <= 0xEB; ++b) classes[b] = kModeKanji;
  return classes;
}

constexpr std::array<std::int8_t, 256> kClasses = BuildClasses();

std::size_t RunLength(std::string_view text, std::size_t from, std::int32_t mode, bool usejis) {
  std::size_t position = from;
  while (ClassifyChar(text, position, usejis) == mode) position += mode == kModeKanji ? 2 : 1;
  return position - from;
}

}  // namespace

bool IsKanjiTrail(unsigned char byte) { return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC); }

std::int32_t KanjiValue(unsigned char lead, unsigned char trail) {
  if (!IsKanjiTrail(trail)) return -1;
  std::int32_t value;
  if (lead >= 0x81 && lead <= 0x9F) {
    value = (lead - 0x81) * 0xC0;
  } else if (lead >= 0xE0 && lead <= 0xEB) {
    value = (lead - 0xC1) * 0xC0;
  } else {
    return -1;
  }
  value += trail - 0x40;
  // 0xEBC0..0xEBFC would need a fourteenth bit; cut to 13 they would decode
  // as other characters.
  return value <= 0x1FFF ? value : -1;
}

std::int32_t AlphanumericValue(unsigned char byte) {
  const std::size_t index = kAlphanumerics.find(static_cast<char>(byte));
  return index == std::string_view::npos ? -1 : static_cast<std::int32_t>(index);
}

std::int32_t ClassifyChar(std::string_view piece, std::size_t position, bool usejis) {
  if (position >= piece.size()) return kModeNone;
  if (!usejis) return kModeByte;
  const auto byte = static_cast<unsigned char>(piece[position]);
  const std::int32_t mode = kClasses[byte];
  if (mode != kModeKanji) return mode;
  if (position + 1 >= piece.size()) return kModeByte;
  return KanjiValue(byte, static_cast<unsigned char>(piece[position + 1])) >= 0 ? kModeKanji : kModeByte;
}

std::int32_t SegmentBits(std::int32_t mode, std::int32_t count, std::int32_t version) {
  std::int32_t data = 0;
  switch (mode) {
    case kModeNumeric:
      data = 10 * (count / 3) + (count % 3 == 1 ? 4 : count % 3 == 2 ? 7 : 0);
      break;
    case kModeAlphanumeric:
      data = 11 * (count / 2) + (count % 2 == 1 ? 6 : 0);
      break;
    case kModeByte:
      data = 8 * count;
      break;
    default:
      data = 13 * (count / 2);
      break;
  }
  return 4 + VersionInfo(version).countWidth.at(static_cast<std::size_t>(mode)) + data;
}

TSegment NextSegment(std::string_view rest, bool usejis, std::int32_t version) {
  if (rest.empty()) return {};
  const std::int32_t cur = ClassifyChar(rest, 0, usejis);
  std::size_t length = 0;
  auto bits = [version](std::int32_t mode, std::size_t count) {
    return SegmentBits(mode, static_cast<std::int32_t>(count), version);
  };
  while (true) {
    length += RunLength(rest, length, cur, usejis);
    if (length >= rest.size()) return {length, cur};
    const std::int32_t next = ClassifyChar(rest, length, usejis);
    if (cur == kModeKanji || next == kModeKanji) return {length, cur};
    const std::size_t run = RunLength(rest, length, next, usejis);
    if (next > cur) {
      // A run that needs a wider mode: take it into this segment in that mode,
      // unless two segments are shorter.
      if (bits(cur, length) + bits(next, run) < bits(next, length + run)) return {length, cur};
      return {length + run, next};
    }
    // A run that suits a more compact mode: split it off only when that is
    // shorter, counting the segment that resumes after it.
    const bool curResumes = ClassifyChar(rest, length + run, usejis) == cur;
    const std::int32_t split = bits(cur, length) + bits(next, run) + (curResumes ? bits(cur, 0) : 0);
    if (split < bits(cur, length + run)) return {length, cur};
    length += run;
  }
}

}  // namespace pavix::qr
