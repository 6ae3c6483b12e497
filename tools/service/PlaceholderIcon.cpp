#include "tools/service/PlaceholderIcon.h"

#include <array>
#include <cstdint>

namespace twig::service {

namespace {

std::uint32_t crc32(std::string_view bytes) {
  static const auto table = [] {
    std::array<std::uint32_t, 256> entries{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      entries[n] = c;
    }
    return entries;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char byte : bytes) crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

void appendBigEndian(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

void appendChunk(std::string& png, std::string_view type, std::string_view data) {
  appendBigEndian(png, static_cast<std::uint32_t>(data.size()));
  std::string body(type);
  body.append(data);
  png += body;
  appendBigEndian(png, crc32(body));
}

}  // namespace

std::string PlaceholderIcon::png(std::string_view name, int size) {
  const std::uint32_t hash = crc32(name);
  const unsigned char red = static_cast<unsigned char>(80 + (hash & 0x7F));
  const unsigned char green = static_cast<unsigned char>(80 + ((hash >> 8) & 0x7F));
  const unsigned char blue = static_cast<unsigned char>(80 + ((hash >> 16) & 0x7F));

  // Raw scanlines (filter byte 0, then RGB), stored in uncompressed deflate blocks.
  std::string raw;
  for (int y = 0; y < size; ++y) {
    raw.push_back(0);
    for (int x = 0; x < size; ++x)
      raw.append({static_cast<char>(red), static_cast<char>(green), static_cast<char>(blue)});
  }
  std::string deflate = "\x78\x01";
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  for (unsigned char byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  for (std::size_t offset = 0; offset < raw.size(); offset += 65535) {
    const std::size_t length = std::min<std::size_t>(65535, raw.size() - offset);
    deflate.push_back(offset + length == raw.size() ? 1 : 0);
    deflate.push_back(static_cast<char>(length & 0xFF));
    deflate.push_back(static_cast<char>(length >> 8));
    deflate.push_back(static_cast<char>(~length & 0xFF));
    deflate.push_back(static_cast<char>((~length >> 8) & 0xFF));
    deflate.append(raw, offset, length);
  }
  appendBigEndian(deflate, (b << 16) | a);

  std::string header;
  appendBigEndian(header, static_cast<std::uint32_t>(size));
  appendBigEndian(header, static_cast<std::uint32_t>(size));
  header.append({8, 2, 0, 0, 0});  // 8 bits per channel, RGB, no interlace
  std::string png = "\x89PNG\r\n\x1a\n";
  appendChunk(png, "IHDR", header);
  appendChunk(png, "IDAT", deflate);
  appendChunk(png, "IEND", "");
  return png;
}

}  // namespace twig::service
