// What a terminal sends back to the server: headers, data of known size and
// data up to the end marker, fed in pieces of sizes taken from the first
// byte, as the session feeds whatever each read() returns. A file of known
// size gets exactly its bytes and a pending header stays bounded. (An end
// marker counts only where a read ends: the terminal sends nothing after it
// until the next request, so one inside a read is data.)
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "comm/session_protocol.h"
#include "fuzz/fuzz_support.h"

using namespace kaslo;

namespace {

class CheckingSink final : public comm::ReceiveSink {
 public:
  bool OnHeader(std::optional<uint64_t> size) override {
    size_ = size;
    data_.clear();
    return ++files_ < 64;
  }
  bool OnData(std::string_view bytes) override {
    data_ += bytes;
    if (size_ && data_.size() > *size_) std::abort();
    return true;
  }
  void OnProgress(uint64_t remaining, uint64_t total) override {
    if (remaining > total) std::abort();
  }
  bool OnComplete() override {
    if (size_ && data_.size() != *size_) std::abort();
    return true;
  }

 private:
  std::optional<uint64_t> size_;
  std::string data_;
  int files_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t piece = 1 + data[0] % 16;
  std::string_view bytes = fuzz::AsText(data + 1, size - 1);
  comm::ParseSizeField(bytes.substr(0, 32));
  comm::WireFile(bytes.substr(0, comm::kWireNameSize));
  comm::ReceiveParser parser;
  CheckingSink sink;
  comm::ReceiveParser::Result result = comm::ReceiveParser::Result::kContinue;
  while (!bytes.empty() && result == comm::ReceiveParser::Result::kContinue) {
    const size_t n = std::min(piece, bytes.size());
    result = parser.Feed(bytes.substr(0, n), sink);
    bytes.remove_prefix(n);
    if (parser.pendingHeaderBytes() > comm::ReceiveParser::kMaxHeaderSize + 16) std::abort();
  }
  return 0;
}
