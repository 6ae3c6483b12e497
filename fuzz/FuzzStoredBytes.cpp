// What the agent reads back from its own files, which a crash, a full disk or a curious hand may
// have mangled: a cached object's bytes, the cache index, the command inbox.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <unistd.h>

#include "messaging/CommandInbox.h"
#include "storage/CacheObject.h"
#include "storage/ObjectCacheIndex.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace twig;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (auto object = CacheObject::decode(bytes)) (void)object->plain();
  (void)ObjectCacheIndex::fromXml(bytes);
  static const auto folder =
      std::filesystem::temp_directory_path() / ("twig-fuzz-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const auto file = folder / "inbox.jsonl";
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(size));
  CommandInbox inbox(file);
  for (const auto& payload : inbox.takeUnanswered(1'800'000'000'000)) (void)payload.size();
  return 0;
}
